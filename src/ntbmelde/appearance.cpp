#include "appearance.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

// Resources of a static library register only when something calls for them.
static void initProgramResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(ntbmelde);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon programIcon() {
    initProgramResources();
    return QIcon(u":/icons/ntbmelde.png"_s);
}

QPixmap exitNoticePicture() {
    initProgramResources();
    return QPixmap(u":/icons/werbung.png"_s);
}

QIcon clubPicture() {
    initProgramResources();
    return QIcon(u":/icons/verein.png"_s);
}

QFont pixelFont(const QString& family, QFont::StyleHint hint, int pixelSize) {
    QFont font(family);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

bool installGermanToolkitTexts(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
