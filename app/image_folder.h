#pragma once
// The slideshow's folder scan: every picture file (jpg, jpeg, png, bmp) of a
// folder, optionally with its subfolders.
#include <QString>
#include <vector>

// Appends to `paths` the picture files of `folder`, in name order (case-insensitive,
// ties broken case-sensitively, so the order never depends on the file system).
// A file counts when the text after the last dot of its name, lower-cased, is
// "jpg", "jpeg", "png" or "bmp". With `recursive`, a subfolder is scanned in place
// where its name falls in that order (depth first); symbolic links to folders are
// never entered, so a link loop cannot recurse without end. A folder that cannot
// be read adds nothing.
void ScanImageFolder(const QString& folder, std::vector<QString>& paths, bool recursive);

// True when the file name carries one of the picture extensions above.
bool IsImageFileName(const QString& fileName);
