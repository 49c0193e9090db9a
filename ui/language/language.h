#pragma once

#include "core/language.h"

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace tessaro {

/// The language of the window: --lang it|en on the command line (also --lang=en), else the
/// environment variable TESSARO_LANG, else English unless the locale's first language for
/// messages is Italian.
/// A value that names no language is passed over, as if absent.
Language chooseLanguage(const QStringList& arguments, const QString& environment,
                        const QLocale& locale);

/// The value of --lang in the arguments, empty when it is not given.
QString languageArgument(const QStringList& arguments);

/// Puts the texts of the window, of Qt's own dialogs and of the core into language: the
/// English translation embedded in the program and Qt's catalogue for the language from
/// QLibraryInfo's translations folder. Translators installed by an earlier call are removed
/// first. False when the program's own English translation could not be loaded.
bool installTranslators(QCoreApplication& app, Language language);

} // namespace tessaro
