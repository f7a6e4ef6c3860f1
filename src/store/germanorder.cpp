// SPDX-License-Identifier: GPL-3.0-or-later
#include "germanorder.h"

#include <QString>

#include <algorithm>
#include <numeric>

#include <unicode/ucol.h>

#include "windows1252.h"

namespace {

// ICU's German collator as QCollator sets it up for GermanCollator(): letter case aside
// (secondary strength), text normalised first. One per thread, as a collator is not shared.
class IcuGerman {
public:
    IcuGerman() {
        UErrorCode status = U_ZERO_ERROR;
        collator = ucol_open("de_DE", &status);
        ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    }
    ~IcuGerman() { ucol_close(collator); }
    IcuGerman(const IcuGerman&) = delete;
    IcuGerman& operator=(const IcuGerman&) = delete;

    UCollator* collator = nullptr;
};

const UCollator* icuGerman() {
    thread_local const IcuGerman german;
    return german.collator;
}

} // namespace

QCollator GermanCollator() {
    QCollator german(QLocale(QLocale::German, QLocale::Germany));
    german.setCaseSensitivity(Qt::CaseInsensitive);
    return german;
}

QByteArray GermanOrderKey(QStringView name) {
    const auto* text = reinterpret_cast<const UChar*>(name.utf16());
    const auto length = static_cast<int32_t>(name.size());
    QByteArray key(64, Qt::Uninitialized);
    for (;;) {
        // The length includes the key's closing zero byte, which no comparison needs.
        const int32_t needed =
            ucol_getSortKey(icuGerman(), text, length, reinterpret_cast<uint8_t*>(key.data()),
                            static_cast<int32_t>(key.size()));
        if (needed <= key.size()) {
            key.truncate(needed > 0 ? needed - 1 : 0);
            return key;
        }
        key.resize(needed);
    }
}

QString GermanOrderVersion() {
    UVersionInfo version;
    ucol_getVersion(icuGerman(), version);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, text);
    return QString::fromLatin1(text);
}

std::vector<std::size_t> GermanNameOrder(const std::vector<std::string>& names) {
    const QCollator german = GermanCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const std::string& name : names)
        keys.push_back(german.sortKey(QString::fromStdString(AnsiToUtf8(name))));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}
