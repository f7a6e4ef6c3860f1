// SPDX-License-Identifier: GPL-3.0-or-later
// The line-oriented XML document: the exact lines written, and how the reader finds values.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "atomicfile.h"
#include "environment.h"
#include "simplexml.h"

namespace {
// The keys that the tests below ask for.
const std::vector<std::string_view> Keys = {
    "NAME", "EMPTY", "LATER", "INT", "BAD", "SELF", "PLACE", "LEN", "TAIL", "name",   "NOTE",
    "V",    "A",     "B",     "C",   "D",   "E",    "F",     "G",   "H",    "MISSING"};

// A reader of a text that can be asked for the given sections besides the listed elements.
class Reader : public TSimpleXmlReader {
public:
    explicit Reader(std::string text, const std::vector<std::string>& sections = {})
        : TSimpleXmlReader(std::move(text), sections, Keys) {}
    Reader(std::initializer_list<std::string> lines, const std::vector<std::string>& sections)
        : Reader(joined(lines), sections) {}

    std::optional<std::string_view> value(const std::string& section, std::string_view key) {
        std::optional<std::string_view> found;
        ReadValues(section, {&key, 1}, {&found, 1});
        return found;
    }
    // The value, or "d" when the key is not found.
    std::string text(const std::string& section, std::string_view key) {
        return std::string(value(section, key).value_or("d"));
    }

private:
    static std::string joined(std::initializer_list<std::string> lines) {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        return text;
    }
};

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}
} // namespace

class TestSimpleXml : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PinDecimalSeparator(','); }

    void writer_linesAndLayout() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("doc.xml").toStdString();
        TAtomicFile file(path);
        TSimpleXmlWriter xml(file);
        xml.WriteProlog();
        xml.WriteBanner();
        xml.WriteRootStart(" NOMINATION ");
        xml.WriteOpenTag("EVENT id=3");
        xml.WriteValue(" NAME ", "  a & b < c  ");
        xml.WriteIntValue("AGE", -5);
        xml.WriteFloatValue("FEE", 3.5);
        xml.WriteFloatValue("WHOLE", 4);
        xml.WriteCloseTag("EVENT");
        xml.WriteRootEnd("NOMINATION");
        xml.WriteBanner();
        xml.Commit();

        const std::string text = ReadWholeFile(path);
        QVERIFY(text.size() > 2 && text.substr(text.size() - 2) == "\r\n");
        const std::vector<std::string> lines = splitCrLf(text);
        const std::string stars = "<!-- " + std::string(42, '*') + " -->";
        const std::vector<std::string> expected = {
            "<?xml version=\"1.0\"?>",
            " ",
            stars,
            "<!--  DIESE DATEI WURDE AUTOMATISCH ERZEUGT!!   -->",
            "<!--  JEDES MANUELLE EDITIEREN IST UNTERSAGT!!  -->",
            stars,
            " ",
            "<NOMINATION>",
            " ",
            "  <EVENT id=3>",
            "    <NAME>  a & b < c  </NAME>",
            "    <AGE>-5</AGE>",
            "    <FEE>3,5</FEE>",
            "    <WHOLE>4</WHOLE>",
            "  </EVENT>",
            " ",
            "</NOMINATION>",
            " ",
            stars,
            "<!--  DIESE DATEI WURDE AUTOMATISCH ERZEUGT!!   -->",
            "<!--  JEDES MANUELLE EDITIEREN IST UNTERSAGT!!  -->",
            stars,
            " "};
        QCOMPARE(lines, expected);
        for (int i : {2, 3, 4, 5})
            QCOMPARE(lines[static_cast<std::size_t>(i)].size(), std::size_t(51));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), long(expected.size()));
    }

    void writer_floatForms() {
        TSimpleXmlWriter xml;
        for (double value : {2.5, 0.1, 1e15, 1.5e-5, 123456789012345.0, -0.25})
            xml.WriteFloatValue("F", value);
        PinDecimalSeparator('.');
        xml.WriteFloatValue("F", 2.5);
        PinDecimalSeparator(',');
        QCOMPARE(splitCrLf(xml.TakeText()),
                 (std::vector<std::string>{"    <F>2,5</F>", "    <F>0,1</F>", "    <F>1E15</F>",
                                           "    <F>1,5E-5</F>", "    <F>123456789012345</F>",
                                           "    <F>-0,25</F>", "    <F>2.5</F>"}));
    }

    void read_valuesOfSections() {
        Reader xml({"<ROOT>", "  <EVENT id=3>", "    <NAME>  spaced  </NAME>",
                    "    <EMPTY></EMPTY>", "    <INT>-5</INT>", "    <BAD>12 </BAD>", "  </EVENT>",
                    "  <EVENT id=4>", "    <LATER>x</LATER>", "  </EVENT>", "</ROOT>"},
                   {"EVENT id=5"});
        QVERIFY(xml.Loaded());
        QCOMPARE(xml.text("EVENT id=3", "NAME"), std::string("  spaced  "));
        QCOMPARE(xml.text("EVENT id=3", "EMPTY"), std::string(""));
        QCOMPARE(xml.text("EVENT id=3", "LATER"), std::string("d"));
        QCOMPARE(xml.text("EVENT id=4", "LATER"), std::string("x"));
        QCOMPARE(xml.text("EVENT id=5", "LATER"), std::string("d"));
        QCOMPARE(IntValue(xml.value("EVENT id=3", "INT"), 7), -5);
        QCOMPARE(IntValue(xml.value("EVENT id=3", "BAD"), 7), 7);
        QCOMPARE(IntValue(xml.value("EVENT id=3", "EMPTY"), 7), 7);
        QCOMPARE(IntValue(xml.value("EVENT id=3", "MISSING"), 7), 7);
    }

    void read_nestedKeysAndOddLines_giveTheirValues() {
        Reader xml({"<competition>", "<OUTER>", "<NAME>nested</NAME>", "</OUTER>",
                    "<NAME>own</NAME>", "<SELF/>", "<PLACE>x<PLACE>y</PLACE>",
                    "text <LEN>abc</LEN>", "<TAIL>v</TAIL> trailing", "</competition>",
                    "<COMPETITION>", "<NAME>second</NAME>", "</COMPETITION>"},
                   {"COMPETITION"});
        // Lower-case section line matches; the first key wins even when nested.
        QCOMPARE(xml.text("COMPETITION", "NAME"), std::string("nested"));
        // The end marker is case-sensitive: "</competition>" does not end "COMPETITION".
        QCOMPARE(xml.text("COMPETITION", "SELF"), std::string("d"));
        QCOMPARE(xml.text("COMPETITION", "PLACE"), std::string("x<PLACE>y"));
        QCOMPARE(xml.text("COMPETITION", "LEN"), std::string("abc</LEN"));
        QCOMPARE(xml.text("COMPETITION", "TAIL"), std::string("v</TAIL> t"));
        // Lower-case keys never match.
        QCOMPARE(xml.text("COMPETITION", "name"), std::string("d"));
    }

    void read_endMarkerInsideAnotherLine() {
        Reader xml({"<EVENT id=1>", "<NOTE>see </EVENT id=2></NOTE>", "<NAME>n</NAME>", "</EVENT>"},
                   {});
        QCOMPARE(xml.text("EVENT id=1", "NAME"), std::string("d"));
        QCOMPARE(xml.text("EVENT id=1", "NOTE"), std::string("d"));
    }

    void read_endMarkerIsFoundAsTheStartOfALongerEndTag() {
        // "</A12>" holds the end marker "</A1" of A1 x; "</A1>" does not hold "</A12" of A12 y.
        Reader xml({"<A1 x>", "<NAME>n</NAME>", "z</A12>", "<V>v</V>", "<A12 y>", "<V>w</V>",
                    "q</A1>", "<NAME>m</NAME>"},
                   {});
        QCOMPARE(xml.text("A1 x", "NAME"), std::string("n"));
        QCOMPARE(xml.text("A1 x", "V"), std::string("d"));
        QCOMPARE(xml.text("A12 y", "V"), std::string("w"));
        QCOMPARE(xml.text("A12 y", "NAME"), std::string("m"));
    }

    void read_floatValues() {
        Reader xml({"<S>", "<A>3,5</A>", "<B>3.5</B>", "<C>1.234,5</C>", "<D> 2,50 </D>",
                    "<E>2,50 EUR</E>", "<F>-1e2</F>", "<G>.5</G>", "<H>1e400</H>", "</S>"},
                   {});
        QCOMPARE(FloatValue(xml.value("S", "A"), 0), 3.5);
        QCOMPARE(FloatValue(xml.value("S", "B"), 0), 3.5);
        QCOMPARE(FloatValue(xml.value("S", "C"), 9), 9.0);
        QCOMPARE(FloatValue(xml.value("S", "D"), 0), 2.5);
        QCOMPARE(FloatValue(xml.value("S", "E"), 9), 9.0);
        QCOMPARE(FloatValue(xml.value("S", "F"), 0), -100.0);
        QCOMPARE(FloatValue(xml.value("S", "G"), 0), 0.5);
        QCOMPARE(FloatValue(xml.value("S", "H"), 9), 9.0);
        QCOMPARE(FloatValue(xml.value("S", "MISSING"), 9), 9.0);
        for (const char* noNumber : {"inf", "nan", "+-1", "-", "1e", "0x1p3", "1,5,0"})
            QCOMPARE(FloatValue(std::string_view(noNumber), 9), 9.0);
    }

    void listElements_startTagsOnly() {
        Reader xml({"<?xml version=\"1.0\"?>", "<!-- comment -->", "<ROOT>", "<EVENT id=3>",
                    "<NAME>x</NAME>", "</EVENT>", "no tag here", "ab>cd", "<open only", "x",
                    "</ROOT>"},
                   {});
        QCOMPARE(xml.ListElements(),
                 (std::vector<std::string>{"ROOT", "EVENT id=3", "", "ab", ""}));
    }

    void removeElement_removesSectionsInOrder() {
        Reader xml({"<R>", "<EVENT id=1>", "<V>a</V>", "</EVENT>", "<EVENT id=1>", "<V>b</V>",
                    "</EVENT>", "<EVENT id=1>", "<V>c</V>", "</EVENT>", "</R>"},
                   {});
        for (const char* expected : {"a", "b", "c"}) {
            QCOMPARE(xml.text("EVENT id=1", "V"), std::string(expected));
            xml.RemoveElement("EVENT id=1");
        }
        QCOMPARE(xml.text("EVENT id=1", "V"), std::string("d"));
        QCOMPARE(xml.Lines(), (std::vector<std::string>{"<R>", "</R>"}));
    }

    void removeElement_needsStartBeforeEnd() {
        Reader xml({"</EVENT>", "<EVENT id=1>", "<V>a</V>", "</EVENT>"}, {"MISSING"});
        xml.RemoveElement("EVENT id=1");
        QCOMPARE(xml.Lines().size(), std::size_t(4));
        xml.RemoveElement("MISSING");
        QCOMPARE(xml.Lines().size(), std::size_t(4));
    }

    void removeElement_laterLookupsPassOverTheRemovedLines() {
        // Removing the outer section takes the inner one with it; the next section's key is
        // found behind the removed lines, and a removed end line ends nothing any more.
        Reader xml({"<OUTER a>", "<INNER b>", "<V>inner</V>", "</INNER>", "</OUTER>", "<INNER c>",
                    "<V>second</V>", "</INNER>"},
                   {});
        xml.RemoveElement("OUTER a");
        QCOMPARE(xml.text("INNER b", "V"), std::string("d"));
        QCOMPARE(xml.text("INNER c", "V"), std::string("second"));
        QCOMPARE(xml.Lines(), (std::vector<std::string>{"<INNER c>", "<V>second</V>", "</INNER>"}));
    }

    void read_sectionStartsAtTheFirstEqualLineLeft() {
        // "<a x>" on line 0 is never closed, so it stays; the same start further down, right
        // after the section read before, does not count while it is there.
        Reader xml({"<a x>", "<V>first</V>", "<B y>", "<V>b</V>", "</B>", "<A X>", "<V>second</V>",
                    "</A>"},
                   {});
        QCOMPARE(xml.text("B y", "V"), std::string("b"));
        xml.RemoveElement("B y");
        QCOMPARE(xml.text("A X", "V"), std::string("first"));
        xml.RemoveElement("A X"); // lines 0 to 7
        QCOMPARE(xml.Lines(), std::vector<std::string>{});
    }

    void loadLines_keepsOnlyUsefulLines() {
        Reader xml("<?xml?>\r\n \r\nx\r\n<!-- a\r\n still comment -->\r\n<!DOCTYPE x>\r\n"
                   "\t<A>1</A>\t\r\n");
        QCOMPARE(xml.Lines(),
                 (std::vector<std::string>{"<?xml?>", "still comment -->", "<A>1</A>"}));
    }

    void loadLines_lineEnds() {
        // LF alone ends a line, a lone CR is dropped, Ctrl+Z ends the file.
        Reader xml("<S>\n<A>1\r2</A>\r\n<B>3</B>\x1A<C>4</C>\n</S>\n");
        QCOMPARE(xml.Lines(), (std::vector<std::string>{"<S>", "<A>12</A>", "<B>3</B>"}));
        QCOMPARE(xml.text("S", "A"), std::string("12"));
        QCOMPARE(xml.text("S", "C"), std::string("d"));
    }

    void fileMode_whenNoLineIsKept() {
        // Every line has "!" as its second character: nothing is kept, and reads go to the
        // file's lines, where the section tag is matched inside a line and case counts.
        Reader xml("x!<COMPETITION>\r\na!<NAME>n</NAME>\r\ny!<EVENT id=1>\r\n",
                   {"COMPETITION", "competition"});
        QVERIFY(!xml.Loaded());
        QCOMPARE(xml.text("COMPETITION", "NAME"), std::string("n</"));
        QCOMPARE(xml.text("competition", "NAME"), std::string("d"));
        QCOMPARE(xml.ListElements(), (std::vector<std::string>{"COMPETITION", "EVENT id=1"}));
        xml.RemoveElement("COMPETITION");
        QCOMPARE(xml.text("COMPETITION", "NAME"), std::string("n</"));
    }

    void fileMode_startTagsFoundAnywhereInALine() {
        // Line 0 holds the start tags of "a<b c", "b c" and "d e", two of them ending at the
        // same ">"; "f g" starts only on line 3.
        Reader xml("x!<a<b c> <d e>\r\ny!<NAME>1</NAME>\r\nz!<b c>\r\nv!<f g>\r\n"
                   "w!<NAME>2</NAME>\r\n",
                   {"d e"});
        QCOMPARE(xml.ListElements(), (std::vector<std::string>{"a<b c", "b c", "f g"}));
        for (const char* section : {"a<b c", "b c", "d e"})
            QCOMPARE(xml.text(section, "NAME"), std::string("1</"));
        QCOMPARE(xml.text("f g", "NAME"), std::string("2</"));
    }

    void fileMode_emptyDocumentGivesDefaults() {
        Reader xml("<!-- only a comment -->\r\n", {"COMPETITION"});
        QVERIFY(!xml.Loaded());
        QCOMPARE(xml.text("COMPETITION", "NAME"), std::string("d"));
        QVERIFY(xml.ListElements().empty());
    }
};

QTEST_GUILESS_MAIN(TestSimpleXml)
#include "tst_simplexml.moc"
