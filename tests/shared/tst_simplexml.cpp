// The line-oriented XML document: exact lines written, and the lookup rules of the reader.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "atomicfile.h"
#include "environment.h"
#include "simplexml.h"

namespace {
// A reader over the given lines, joined with CR LF.
std::unique_ptr<TSimpleXmlReader> reader(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return std::make_unique<TSimpleXmlReader>(text);
}

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
        auto xml =
            reader({"<ROOT>", "  <EVENT id=3>", "    <NAME>  spaced  </NAME>",
                    "    <EMPTY></EMPTY>", "    <INT>-5</INT>", "    <BAD>12 </BAD>", "  </EVENT>",
                    "  <EVENT id=4>", "    <LATER>x</LATER>", "  </EVENT>", "</ROOT>"});
        QVERIFY(xml->Loaded());
        QCOMPARE(xml->ReadValue("EVENT id=3", "NAME", "d"), std::string("  spaced  "));
        QCOMPARE(xml->ReadValue("EVENT id=3", "EMPTY", "d"), std::string(""));
        QCOMPARE(xml->ReadValue("EVENT id=3", "LATER", "d"), std::string("d"));
        QCOMPARE(xml->ReadValue("EVENT id=4", "LATER", "d"), std::string("x"));
        QCOMPARE(xml->ReadValue("EVENT id=5", "LATER", "d"), std::string("d"));
        QCOMPARE(xml->ReadIntValue("EVENT id=3", "INT", 7), -5);
        QCOMPARE(xml->ReadIntValue("EVENT id=3", "BAD", 7), 7);
        QCOMPARE(xml->ReadIntValue("EVENT id=3", "EMPTY", 7), 7);
    }

    void read_quirksOfTheLineRules() {
        auto xml = reader({"<competition>", "<OUTER>", "<NAME>nested</NAME>", "</OUTER>",
                           "<NAME>own</NAME>", "<SELF/>", "<PLACE>x<PLACE>y</PLACE>",
                           "text <LEN>abc</LEN>", "<TAIL>v</TAIL> trailing", "</competition>",
                           "<COMPETITION>", "<NAME>second</NAME>", "</COMPETITION>"});
        // Lower-case section line matches; the first key wins even when nested.
        QCOMPARE(xml->ReadValue("COMPETITION", "NAME", "d"), std::string("nested"));
        // The end marker is case-sensitive: "</competition>" does not end "COMPETITION".
        QCOMPARE(xml->ReadValue("COMPETITION", "SELF", "d"), std::string("d"));
        QCOMPARE(xml->ReadValue("COMPETITION", "PLACE", "d"), std::string("x<PLACE>y"));
        QCOMPARE(xml->ReadValue("COMPETITION", "LEN", "d"), std::string("abc</LEN"));
        QCOMPARE(xml->ReadValue("COMPETITION", "TAIL", "d"), std::string("v</TAIL> t"));
        // Lower-case keys never match.
        QCOMPARE(xml->ReadValue("COMPETITION", "name", "d"), std::string("d"));
    }

    void read_endMarkerInsideAnotherLine() {
        auto xml = reader(
            {"<EVENT id=1>", "<NOTE>see </EVENT id=2></NOTE>", "<NAME>n</NAME>", "</EVENT>"});
        QCOMPARE(xml->ReadValue("EVENT id=1", "NAME", "d"), std::string("d"));
        QCOMPARE(xml->ReadValue("EVENT id=1", "NOTE", "d"), std::string("d"));
    }

    void read_floatValues() {
        auto xml = reader({"<S>", "<A>3,5</A>", "<B>3.5</B>", "<C>1.234,5</C>", "<D> 2,50 </D>",
                           "<E>2,50 EUR</E>", "<F>-1e2</F>", "<G>.5</G>", "<H>1e400</H>", "</S>"});
        QCOMPARE(xml->ReadFloatValue("S", "A", 0), 3.5);
        QCOMPARE(xml->ReadFloatValue("S", "B", 0), 3.5);
        QCOMPARE(xml->ReadFloatValue("S", "C", 9), 9.0);
        QCOMPARE(xml->ReadFloatValue("S", "D", 0), 2.5);
        QCOMPARE(xml->ReadFloatValue("S", "E", 9), 9.0);
        QCOMPARE(xml->ReadFloatValue("S", "F", 0), -100.0);
        QCOMPARE(xml->ReadFloatValue("S", "G", 0), 0.5);
        QCOMPARE(xml->ReadFloatValue("S", "H", 9), 9.0);
        QCOMPARE(xml->ReadFloatValue("S", "MISSING", 9), 9.0);
    }

    void listElements_startTagsOnly() {
        auto xml = reader({"<?xml version=\"1.0\"?>", "<!-- comment -->", "<ROOT>", "<EVENT id=3>",
                           "<NAME>x</NAME>", "</EVENT>", "no tag here", "ab>cd", "<open only", "x",
                           "</ROOT>"});
        QCOMPARE(xml->ListElements(),
                 (std::vector<std::string>{"ROOT", "EVENT id=3", "", "ab", ""}));
    }

    void removeElement_removesSectionsInOrder() {
        auto xml = reader({"<R>", "<EVENT id=1>", "<V>a</V>", "</EVENT>", "<EVENT id=1>",
                           "<V>b</V>", "</EVENT>", "<EVENT id=1>", "<V>c</V>", "</EVENT>", "</R>"});
        for (const char* expected : {"a", "b", "c"}) {
            QCOMPARE(xml->ReadValue("EVENT id=1", "V", "d"), std::string(expected));
            xml->RemoveElement("EVENT id=1");
        }
        QCOMPARE(xml->ReadValue("EVENT id=1", "V", "d"), std::string("d"));
        QCOMPARE(xml->Lines(), (std::vector<std::string>{"<R>", "</R>"}));
    }

    void removeElement_needsStartBeforeEnd() {
        auto xml = reader({"</EVENT>", "<EVENT id=1>", "<V>a</V>", "</EVENT>"});
        xml->RemoveElement("EVENT id=1");
        QCOMPARE(xml->Lines().size(), std::size_t(4));
        xml->RemoveElement("MISSING");
        QCOMPARE(xml->Lines().size(), std::size_t(4));
    }

    void loadLines_keepsOnlyUsefulLines() {
        TSimpleXmlReader xml("<?xml?>\r\n \r\nx\r\n<!-- a\r\n still comment -->\r\n<!DOCTYPE x>\r\n"
                             "\t<A>1</A>\t\r\n");
        QCOMPARE(xml.Lines(),
                 (std::vector<std::string>{"<?xml?>", "still comment -->", "<A>1</A>"}));
    }

    void loadLines_lineEnds() {
        // LF alone ends a line, a lone CR is dropped, Ctrl+Z ends the file.
        TSimpleXmlReader xml("<S>\n<A>1\r2</A>\r\n<B>3</B>\x1A<C>4</C>\n</S>\n");
        QCOMPARE(xml.Lines(), (std::vector<std::string>{"<S>", "<A>12</A>", "<B>3</B>"}));
        QCOMPARE(xml.ReadValue("S", "A", "d"), std::string("12"));
        QCOMPARE(xml.ReadValue("S", "C", "d"), std::string("d"));
    }

    void fileMode_whenNoLineIsKept() {
        // Every line has "!" as its second character: nothing is kept, and reads go to the
        // file's lines, where the section tag is matched inside a line and case counts.
        TSimpleXmlReader xml("x!<COMPETITION>\r\na!<NAME>n</NAME>\r\ny!<EVENT id=1>\r\n");
        QVERIFY(!xml.Loaded());
        QCOMPARE(xml.ReadValue("COMPETITION", "NAME", "d"), std::string("n</"));
        QCOMPARE(xml.ReadValue("competition", "NAME", "d"), std::string("d"));
        QCOMPARE(xml.ListElements(), (std::vector<std::string>{"COMPETITION", "EVENT id=1"}));
        xml.RemoveElement("COMPETITION");
        QCOMPARE(xml.ReadValue("COMPETITION", "NAME", "d"), std::string("n</"));
    }

    void fileMode_emptyDocumentGivesDefaults() {
        TSimpleXmlReader xml("<!-- only a comment -->\r\n");
        QVERIFY(!xml.Loaded());
        QCOMPARE(xml.ReadValue("COMPETITION", "NAME", "d"), std::string("d"));
        QCOMPARE(xml.ReadIntValue("COMPETITION", "ABSCNT", 1), 1);
        QVERIFY(xml.ListElements().empty());
    }

    void manySections_loadInLinearTime() {
        // 20,000 unterminated sections with the same tag: each lookup must stay cheap.
        std::string text = "<R>\r\n";
        for (int i = 0; i < 20000; ++i)
            text += "<NOMIN id=1>\r\n";
        TSimpleXmlReader xml(text);
        QElapsedTimer timer;
        timer.start();
        const std::vector<std::string> elements = xml.ListElements();
        for (const std::string& element : elements) {
            QCOMPARE(xml.ReadValue(element, "NAME", "d"), std::string("d"));
            xml.RemoveElement(element);
        }
        QVERIFY2(timer.elapsed() < 5000, "lookups are not linear");
    }
};

QTEST_GUILESS_MAIN(TestSimpleXml)
#include "tst_simplexml.moc"
