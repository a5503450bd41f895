// Outline and links read back by qpdf: the tree with every /Parent, /First,
// /Last, /Prev, /Next and /Count checked against the entries' order, the
// destinations and views, and the link annotations with their targets.
#include <gtest/gtest.h>

#include "pdf/PdfTestSupport.h"

namespace quill {
namespace {

using namespace pdftest;

// Walks qpdf's JSON of the file: the outline as an indented tree ("!" marks an
// entry whose parent, sibling, first, last or count pointers disagree with
// the tree), then every link annotation with its destination or action.
constexpr char kSummary[] = R"(
import json, sys
j = json.load(sys.stdin)
o, titles = j['qpdf'][1], {}
def t(items):
    for i in items: titles[i['object']] = i['title']; t(i['kids'])
t(j['outlines'])
v = lambda r: o['obj:' + r]['value']
s = lambda x: x[2:] if isinstance(x, str) and x[:2] in ('u:', 'b:') else x
cat = next(x['value'] for x in o.values() if isinstance(x.get('value'), dict) and x['value'].get('/Type') == '/Catalog')
pages = v('1 0 R')['/Kids']
dest = lambda d: 'p%d %s' % (pages.index(d[0]) + 1, ' '.join(str(x) for x in d[1:]))
def walk(ref, parent, depth):
    d, kids, k = v(ref), [], v(ref).get('/First')
    while k: kids.append(k); k = v(k).get('/Next')
    ok = d.get('/Parent') == parent and d.get('/Last') == (kids[-1] if kids else None) and all(
        v(b).get('/Prev') == a for a, b in zip([None] + kids, kids))
    n = sum(walk(k, ref, depth + 1) for k in kids)
    ok = ok and d['/Count'] == n and v(kids[-1]).get('/Next') is None if kids else ok
    print('  ' * depth + titles[ref] + ('' if ok else '!'), d['/Count'], dest(d['/Dest']), d.get('/C', ''),
          d.get('/F', ''))
    return n + 1
if '/Outlines' in cat:
    root = v(cat['/Outlines'])
    print('outline', root['/Count'], walk(root['/First'], cat['/Outlines'], 0), root['/First'] == root['/Last'])
last = None
for i, p in enumerate(pages):
    for a in v(v(p).get('/Annots', '0 0 R')) if '/Annots' in v(p) else []:
        a = v(a)
        t = dest(v(cat['/Dests'])[a['/Dest']]) if '/Dest' in a else {k: s(x) for k, x in a['/A'].items()}
        print('p%d' % (i + 1), a['/Rect'] if a['/Rect'] != last else '', a['/Border'], a['/H'], t)
        last = a['/Rect']
)";

std::string Summary(const Doc& doc) {
    const std::string json = "qpdf --json --json-key=qpdf --json-key=outlines " + Quoted(doc.path);
    return RunCommand("{ " + json + " | python3 -c " + Quoted(kSummary) + "; }").output;
}

TEST(Outline, TreeViewsAndLevels) {
    const Doc doc = WriteDoc([](QuillPdf& p) {
        p.SetScale(Unit::Inches), p.SetMargins(0.5f, 0.5f, 1, 1), p.SetDocProperty("Elenco \x93TF14\x94");
        p.SetViewerPreferences(Viewer::UseOutlines);
        p.AddBookmark("A", 0, View::Zoom, 1, 1, 0, 0, 150, "Red", OutlineStyle::Bold);  // before the first page: page 1
        p.BeginPage(), p.AddBookmark("B", -1, View::FitRect, 1, 2, 3, 4);
        p.BeginPage(), p.AddBookmark("C\xA0\x80\xAD", 0, View::FitHorizontal, 0, 1);
        p.AddBookmark("D", 7, View::FitVertical, 1, 9, 0, 0, 100, "#0000FF"), p.AddBookmark("E", -3), p.AddBookmark("F", 1, static_cast<View>(9));
        p.AddBookmark("G", -1, View::FitPage, 0, 0, 0, 0, 100, "", static_cast<OutlineStyle>(5));  // style 5: italic only
    });
    EXPECT_EQ(Summary(doc),
              "    B 0 p1 /FitR 108 338 324 626  \n"
              "      D 0 p2 /FitV 108 [0, 0, 1] \n"
              "      E 0 p2 /FitB  \n"
              "    C €- 2 p2 /FitH 698  \n"
              "      G 0 p2 /FitB  1\n"
              "    F 1 p2 /FitB  \n"
              "  A 6 p1 /XYZ 108 698 1.5 [1, 0, 0] 2\n"
              "Elenco “TF14” 7 p1 /FitB  \n"
              "outline 8 8 True\n");
    EXPECT_EQ(doc.bytes.substr(0, 8), "%PDF-1.4");  // colours and styles of entries
    EXPECT_NE(doc.bytes.find("/PageMode /UseOutlines\n"), std::string::npos);

    int added = 0;  // levels 0 to 254
    WriteDoc([&](QuillPdf& p) { for (int i = 0; i < 300; ++i) added += p.AddBookmark("x", -1) != 0; });
    EXPECT_EQ(added, 255);
}

TEST(Outline, LinkTargets) {
    const Doc doc = WriteDoc([](QuillPdf& p) {
        p.SetScale(Unit::Inches), p.SetMargins(0.5f, 0.5f, 1, 1), p.BeginPage();
        p.AddBookmark("A", 0, View::Zoom, 1, 1, 0, 0, 200);
        p.LinkTo("page:2");  // nothing drawn yet: no link
        p.DrawRect(1, 1, 2, 0.5f);
        for (const char* target : {"page:LAST", "page:+5", "page:-5", "page:#2", "page:NEXT", "page:PREV", "page:x",
                                   "bookmark:@1", "bookmark:@2", "ref:Totali (2)", "gopher:x", "HTTPS://kvs.it/a b",
                                   "mailto:paghe@kvs.it", "ftp:x", "file:altro.pdf", "script:app.alert(1)", "ftp:"})
            p.LinkTo(target);
        p.LinkTo("page:1", 2, Highlight::Push, View::Zoom, 0, 1, 0, 0, 50), p.LinkTo("page:1", 0, static_cast<Highlight>(9), View::FitHorizontal, 0, 1);
        p.BeginPage(), p.DefineRef("Totali (2)", View::FitHorizontal, 0, 2), p.DrawText(1, 2, "Vai"), p.LinkTo("page:PREV", 1, Highlight::Invert);
        p.BeginPage(), p.LinkTo("page:1"), p.DrawBarCode(Barcode::Code128, "1234", 0, 0, true), p.LinkTo("page:+1", 0, Highlight::Outline);
    });
    EXPECT_EQ(Summary(doc),
              "  A 0 p1 /XYZ 108 698 2  \n"
              "(senza titolo) 1 p1 /FitB  \n"
              "outline 2 2 True\n"
              "p1 [108, 662, 252, 698] [0, 0, 0] /N p3 /FitB\n"  // LAST, +5
              "p1  [0, 0, 0] /N p3 /FitB\n"
              "p1  [0, 0, 0] /N p1 /FitB\n"  // -5, #2, NEXT, PREV
              "p1  [0, 0, 0] /N p2 /FitB\n"
              "p1  [0, 0, 0] /N p2 /FitB\n"
              "p1  [0, 0, 0] /N p1 /FitB\n"
              "p1  [0, 0, 0] /N p1 /XYZ 108 698 2\n"  // the bookmark's page and view
              "p1  [0, 0, 0] /N p2 /FitH 626\n"  // the reference defined on page 2
              "p1  [0, 0, 0] /N {'/S': '/URI', '/URI': 'HTTPS://kvs.it/a b'}\n"
              "p1  [0, 0, 0] /N {'/S': '/URI', '/URI': 'mailto:paghe@kvs.it'}\n"
              "p1  [0, 0, 0] /N {'/S': '/URI', '/URI': 'ftp:x'}\n"
              "p1  [0, 0, 0] /N {'/D': [0, '/Fit'], '/F': 'altro.pdf', '/S': '/GoToR', '/Type': '/Action'}\n"
              "p1  [0, 0, 0] /N {'/JS': '16 0 R', '/S': '/JavaScript'}\n"
              "p1  [0, 0, 0] /N {'/S': '/URI', '/URI': 'ftp:'}\n"  // a target that is all prefix
              "p1  [0, 0, 2] /P p1 /XYZ 36 698 0.5\n"
              "p1  [0, 0, 0] /N p1 /FitH 698\n"
              "p2 [108, 623.79, 122.45, 636] [0, 0, 1] /I p1 /FitB\n"  // over the text
              "p3 [36, 750.07, 79.776, 770] [0, 0, 0] /O p3 /FitB\n");  // over the barcode and its text
    EXPECT_EQ(QpdfStream(doc.path, 16), "app.alert(1)");
}

}  // namespace
}  // namespace quill
