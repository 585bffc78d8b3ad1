#pragma once

// Qt's own texts (message box buttons, file dialogs, file errors) in Russian, like the rest of the
// interface, in the program and the batch tool alike. False when the translations are not installed.
bool InstallQtTranslations();
