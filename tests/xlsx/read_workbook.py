# A workbook as openpyxl reads it: "SHEET <name>|<frozen cell>|<widths>", then a line per row, cells
# separated by tabs: text as it is, a number as "#<value>@<number format>", an empty cell as nothing.
import sys
import openpyxl

for sheet in openpyxl.load_workbook(sys.argv[1]).worksheets:
    widths = ",".join("%s=%g" % (k, d.width) for k, d in sorted(sheet.column_dimensions.items()) if d.width)
    print("SHEET %s|%s|%s" % (sheet.title, sheet.freeze_panes, widths))
    for row in sheet.iter_rows():
        print("\t".join("" if c.value is None else "#%r@%s" % (c.value, c.number_format) if isinstance(c.value, (int, float))
                        else str(c.value) for c in row).rstrip("\t"))
