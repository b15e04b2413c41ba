// Row access to a text tree document whose current node is a list of rows,
// one attribute per row (the logo list: 'logo = "a.tga", 000000, 3000').
// Rows are read by index with a format, e.g. "Z[260],x4,u4,{b4}".
#pragma once

#include "base/text/TdrDocument.h"
#include "base/text/TextScanner.h"

namespace kis {

// Number of rows: the attributes of the current node.
inline u32 TdrRowCount(TdrDocument& doc) { return doc.GetAttributeCount(); }

// Reads row `row` into the variables (one pointer per field). 1 when the row
// matched the format, else 0. A strict read also refuses a row that holds
// more than the one record.
template <class... T>
i32 ReadTdrRow(TdrDocument& doc, u32 row, const wchar* format, bool strict, T*... values) {
  if (doc.ReadValuesAt(row, format, 1, values...) != 1) return 0;
  if (strict) {
    u32 records = 0;
    const wchar* text = doc.GetAttributeValue(row, nullptr);
    if (ScanTextW(format, 0x7FFFFFFF, nullptr, 0, kScanCount, text, doc.GetCodePage(), &records) != kScanOk ||
        records != 1)
      return 0;
  }
  return 1;
}

}  // namespace kis
