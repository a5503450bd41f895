# A workbook as openpyxl reads it: "PROPS <creator>|<application>", then per sheet
# "SHEET <name>|<frozen cell>|<widths>|<autofilter>|<orientation> <fit to width>x<height>|<rows repeated>|<page header>",
# then a line per row, cells separated by tabs: text as it is, a number as "#<value>@<number format>"
# (a formula's stored value, then "=" and the formula), an empty cell as nothing.
import re
import sys
import zipfile
import openpyxl

book, values = openpyxl.load_workbook(sys.argv[1]), openpyxl.load_workbook(sys.argv[1], data_only=True)
app = re.search(r"<Application>(.*?)</Application>", zipfile.ZipFile(sys.argv[1]).read("docProps/app.xml").decode())
print("PROPS %s|%s" % (book.properties.creator, app and app.group(1)))


def cell(c, v):
    if isinstance(c.value, str) and c.value.startswith("="):
        return "#%r@%s%s" % (v.value, c.number_format, c.value)
    return "" if c.value is None else "#%r@%s" % (c.value, c.number_format) if isinstance(c.value, (int, float)) else str(c.value)


for sheet, shown in zip(book.worksheets, values.worksheets):
    widths = ",".join("%s=%g" % (k, d.width) for k, d in sorted(sheet.column_dimensions.items()) if d.width)
    fit = sheet.sheet_properties.pageSetUpPr and sheet.sheet_properties.pageSetUpPr.fitToPage
    setup = "%s %s" % (sheet.page_setup.orientation, fit and "%sx%s" % (sheet.page_setup.fitToWidth or 1, sheet.page_setup.fitToHeight))
    print("SHEET %s|%s|%s|%s|%s|%s|%s" % (sheet.title, sheet.freeze_panes, widths, sheet.auto_filter.ref, setup,
                                        sheet.print_title_rows, (sheet.oddHeader.left.text or "") + "&R" + (sheet.oddHeader.right.text or "")))
    for row, values_row in zip(sheet.iter_rows(), shown.iter_rows()):
        print("\t".join(cell(c, v) for c, v in zip(row, values_row)).rstrip("\t"))
