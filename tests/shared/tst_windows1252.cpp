// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows-1252 character set: conversion to and from Unicode, and upper case.
#include <QTest>

#include "windows1252.h"

class TestWindows1252 : public QObject {
    Q_OBJECT
private slots:
    void everyByte_hasItsWindows1252Character_andBack() {
        // 0x80 to 0x9F as the code page defines them; its five unassigned bytes keep the C1
        // control of their number. Every other byte is the Unicode character of its number.
        const char32_t high[32] = {U'€',    U'\x81', U'‚', U'ƒ', U'„', U'…',    U'†', U'‡',
                                   U'ˆ',    U'‰',    U'Š', U'‹', U'Œ', U'\x8D', U'Ž', U'\x8F',
                                   U'\x90', U'‘',    U'’', U'“', U'”', U'•',    U'–', U'—',
                                   U'˜',    U'™',    U'š', U'›', U'œ', U'\x9D', U'ž', U'Ÿ'};
        for (int byte = 0; byte < 256; ++byte) {
            const char32_t expected =
                byte >= 0x80 && byte <= 0x9F ? high[byte - 0x80] : static_cast<char32_t>(byte);
            QCOMPARE(AnsiToUnicode(static_cast<unsigned char>(byte)), expected);
            QCOMPARE(UnicodeToAnsi(expected), byte);
        }
        QCOMPARE(UnicodeToAnsi(U'ł'), -1);
        QCOMPARE(UnicodeToAnsi(U'\x2000'), -1);
        QCOMPARE(AnsiToUtf8("M\xFCller \x80 \xDF"), std::string("Müller € ß"));
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
