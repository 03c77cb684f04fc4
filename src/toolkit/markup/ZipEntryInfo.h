#pragma once

// Turns a central-directory record into the caller's entry record: the name
// in wide characters, Windows attribute bits and file times.
#include "toolkit/markup/ZipReader.h"

namespace SkinUI {

struct TZipRecord;

void FillArchiveEntry(const TZipRecord& record, int nIndex, TArchiveEntry& entry);

}  // namespace SkinUI
