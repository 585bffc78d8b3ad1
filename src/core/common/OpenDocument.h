#pragma once

#include <QString>
#include <functional>

class QObject;

// Hands an address or a file to the desktop's default handler; false when nothing could take it.
bool OpenDocument(const QString& Target);
// OpenDocument for a command: a page that cannot be opened (no browser) raises EOrvantaError saying so.
void OpenWebPage(const QString& Url);
// Opens Target without waiting for the opener, and tells Done whether it took it: false when no opener
// starts or the opener ends with an error (no browser behind it). Done comes from the event loop, never
// inside the call, and not after Context is gone.
void OpenDocumentThen(const QString& Target, QObject* Context, std::function<void(bool)> Done);
// Replaces how OpenDocument opens things (the GUI and tests set it); an empty handler restores the default.
void SetOpenDocumentHandler(std::function<bool(const QString&)> Handler);
