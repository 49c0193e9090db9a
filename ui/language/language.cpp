#include "ui/language/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <optional>

namespace tessaro {

namespace {

const char* const kTranslatorName = "tessaroTranslator";

std::optional<Language> named(const QString& text) {
    return languageNamed(text.toStdString());
}

void install(QTranslator* translator) {
    translator->setObjectName(QString::fromLatin1(kTranslatorName));
    QCoreApplication::installTranslator(translator);
}

} // namespace

QString languageArgument(const QStringList& arguments) {
    QString value;
    // Past the program's name; the last one given wins, as with any repeated option.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--lang") && i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--lang="))) {
            value = argument.mid(7);
        }
    }
    return value;
}

Language chooseLanguage(const QStringList& arguments, const QString& environment,
                        const QLocale& locale) {
    if (const std::optional<Language> fromArguments = named(languageArgument(arguments))) {
        return *fromArguments;
    }
    if (const std::optional<Language> fromEnvironment = named(environment)) {
        return *fromEnvironment;
    }
    // The language of messages, which on Linux comes from LANGUAGE, LC_ALL, LC_MESSAGES and
    // LANG, not the language of numbers and dates.
    const QStringList preferred = locale.uiLanguages();
    const bool italian = preferred.isEmpty() ? locale.language() == QLocale::Italian
                                             : named(preferred.constFirst()) == Language::Italian;
    return italian ? Language::Italian : Language::English;
}

bool installTranslators(QCoreApplication& app, Language language) {
    for (QTranslator* earlier : app.findChildren<QTranslator*>(QString::fromLatin1(kTranslatorName),
                                                               Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(earlier);
        delete earlier;
    }
    setLanguage(language);

    const QString code =
        language == Language::English ? QStringLiteral("en") : QStringLiteral("it");
    // Qt's own texts (file dialogs, standard buttons); a missing catalogue leaves them in Qt's
    // English, which is no reason to stop.
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_") + code,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        install(qt);
    } else {
        delete qt;
    }
    if (language == Language::Italian) {
        return true; // the program's texts are written in Italian
    }
    auto* own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/i18n/tessaro_en.qm"))) {
        delete own;
        return false;
    }
    install(own);
    return true;
}

} // namespace tessaro
