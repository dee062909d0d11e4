#pragma once

class QCoreApplication;

namespace lms {

// Makes Qt's own dialogs (file, print, print preview, input, colour) speak Chinese, whatever
// language the system names: loads Qt's Chinese (China) translations from Qt's translations folder
// and makes Chinese (China) the default locale of the widgets. False when the translation files
// are missing (the dialogs then stay in English; nothing else changes).
bool installChineseQtTranslations(QCoreApplication& app);

} // namespace lms
