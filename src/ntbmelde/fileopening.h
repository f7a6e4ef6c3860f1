// Opening the exchange file at start-up: the lock beside it, reading it, and telling the user
// once what is wrong with it.
#pragma once

#include <QString>
#include <memory>

class TExchangeLock;
class TMeldeAustausch;

// What the main window may do with the exchange file afterwards.
enum class FileAccess {
    Editable, // read (or its reading failed and was reported); it is saved on request
    ReadOnly, // another program has it open: shown, never saved
    Unusable, // no exchange file, or not convertible: nothing read, never written
    Quit,     // another program has it open and the user chose to quit
};

// Removes the temporary files that killed saves left beside the existing file at `path`, and
// takes the lock beside it; when another program holds it, asks
// whether to open the file read-only or to quit. Then reads the file into `model` and shows
// what the user must know: that it is no exchange file or cannot be converted (an error), or
// that it was cut off or converted from UTF-8 (warnings). `lock` keeps the lock while the
// file is editable.
FileAccess OpenExchangeFile(const QString& path, TMeldeAustausch& model,
                            std::unique_ptr<TExchangeLock>& lock);
