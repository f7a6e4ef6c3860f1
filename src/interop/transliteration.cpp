// SPDX-License-Identifier: GPL-3.0-or-later
#include "transliteration.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <mutex>

#include "invitation.h"
#include "windows1252.h"

namespace {

constexpr int ShownExamples = 2;

// Only characters outside Windows-1252 are touched. Hungarian's double acute keeps its letter
// with the German umlaut, as Hungarian names are written without it.
constexpr char16_t Rules[] = uR"(
:: [^\u0000-\u007F\u00A0-\u00FF\u0152\u0153\u0160\u0161\u0178\u017D\u017E\u0192\u02C6\u02DC
     \u2013\u2014\u2018\u2019\u201A\u201C\u201D\u201E\u2020\u2021\u2022\u2026\u2030\u2039
     \u203A\u20AC\u2122] ;
:: Russian-Latin/BGN ;
:: Greek-Latin/UNGEGN ;
:: Cyrillic-Latin ;
:: Greek-Latin ;
ő > ö ; Ő > Ö ; ű > ü ; Ű > Ü ;
:: [^ÖöÜü] Latin-ASCII ;
)";

// Built once; ICU transliterators are not safe to share between threads, hence the lock.
icu::Transliterator& transliterator(std::unique_lock<std::mutex>& lock) {
    static std::mutex mutex;
    static const std::unique_ptr<icu::Transliterator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        std::unique_ptr<icu::Transliterator> made(icu::Transliterator::createFromRules(
            "NtbMelde-Windows1252", icu::UnicodeString(Rules), UTRANS_FORWARD, parseError, status));
        if (U_FAILURE(status))
            throw TInteropError(QStringLiteral("Die Umschrifttabellen fehlen (ICU: %1)")
                                    .arg(QString::fromLatin1(u_errorName(status))));
        return made;
    }();
    lock = std::unique_lock(mutex);
    return *instance;
}

bool fitsWindows1252(const QString& text) {
    for (const char32_t character : text.toUcs4()) {
        if (UnicodeToAnsi(character) < 0)
            return false;
    }
    return true;
}

QString quoted(const QString& text) {
    return QStringLiteral("„%1“").arg(text);
}

} // namespace

QString TTextRewrites::Rewritten(const QString& text) {
    if (fitsWindows1252(text))
        return text;
    icu::UnicodeString unicode(reinterpret_cast<const UChar*>(text.utf16()),
                               static_cast<int32_t>(text.size()));
    {
        std::unique_lock<std::mutex> lock;
        transliterator(lock).transliterate(unicode);
    }
    const QString result = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(unicode.getBuffer()), unicode.length());
    if (result != text && !rewritten.contains(text)) {
        rewritten.insert(text);
        if (examples.size() < ShownExamples)
            examples << quoted(text) + QStringLiteral(" → ") + quoted(result);
    }
    return result;
}

std::string TTextRewrites::ToAnsi(const QString& text, const QString& where) {
    return QStringToAnsi(Rewritten(text), where);
}

QString TTextRewrites::Note() const {
    const auto count = rewritten.size();
    if (count == 0)
        return {};
    if (count == 1)
        return QStringLiteral("1 Name umgeschrieben: %1").arg(examples.front());
    return QStringLiteral("%1 Namen umgeschrieben, z. B. %2").arg(count).arg(examples.join(u", "));
}

void TTextRewrites::AddNoteTo(QStringList* notes) const {
    if (notes && !rewritten.isEmpty())
        notes->append(Note());
}
