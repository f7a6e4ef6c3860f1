// The Windows-1252 character set: conversion to and from Unicode, and upper case.
#include <QTest>

#include "windows1252.h"

class TestWindows1252 : public QObject {
    Q_OBJECT
private slots:
    void windows1252() {
        QCOMPARE(AnsiToUtf8("M\xFCller \x80 \xDF"), std::string("Müller € ß"));
        QCOMPARE(UnicodeToAnsi(U'€'), 0x80);
        QCOMPARE(UnicodeToAnsi(U'ł'), -1);
        for (int byte = 0; byte < 256; ++byte)
            QCOMPARE(UnicodeToAnsi(AnsiToUnicode(static_cast<unsigned char>(byte))), byte);
    }

    void toUpperAnsi() {
        QCOMPARE(ToUpperAnsi('a'), 'A');
        QCOMPARE(ToUpperAnsi('\xFC'), '\xDC'); // ü
        QCOMPARE(ToUpperAnsi('\xF7'), '\xF7'); // ÷ has no capital
        QCOMPARE(ToUpperAnsi('\xDF'), '\xDF'); // ß neither
    }
};

QTEST_GUILESS_MAIN(TestWindows1252)
#include "tst_windows1252.moc"
