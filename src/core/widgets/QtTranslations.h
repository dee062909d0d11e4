#pragma once

class QCoreApplication;

namespace lms {

// Makes Qt's own dialogs (file, print, print preview, input, colour) speak Chinese, whatever
// language the system names: loads Qt's Chinese (China) translations from Qt's translations folder
// and makes Chinese (China) the default locale of the widgets. False when the translation files
// are missing (the dialogs then stay in English; nothing else changes).
bool installChineseQtTranslations(QCoreApplication& app);

// Qt's dialogs write dates in the system's regional format (the file dialog's 修改日期), read
// from the environment. Where it names no language ("C", "POSIX", nothing: a minimal system) the
// program's own formats are already Chinese, and this names Chinese (China) for Qt as well.
// Called before the application is created; the C library keeps the setting it had.
void nameChineseWhereNoLanguageIsNamed();

} // namespace lms
