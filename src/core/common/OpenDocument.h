#pragma once

#include <QString>
#include <functional>

// Hands an address or a file to the desktop's default handler; false when nothing could take it.
bool OpenDocument(const QString& Target);
// OpenDocument for a command: a page that cannot be opened (no browser) raises EOrvantaError saying so.
void OpenWebPage(const QString& Url);
// Replaces how OpenDocument opens things (the GUI and tests set it); an empty handler restores the default.
void SetOpenDocumentHandler(std::function<bool(const QString&)> Handler);
