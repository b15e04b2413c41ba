// The engine log: a plain text file ("log.txt") recording start-up, system and
// device set-up as timed nested blocks, values in a column, fields filled in
// later (placeholders) and failures as "ERROR! " lines. A process-wide service
// of free functions, single-threaded and not reentrant.
//
// Every write opens the file, appends (or overwrites a placeholder field) and
// closes it again, so the file on disk is complete after each entry. Text is
// written as UTF-8 with CR LF line breaks and no byte-order mark; wide texts
// are converted to UTF-8, and a converted text longer than 1023 bytes is cut
// at a character boundary. Columns count bytes.
//
// Every entry starts with CR LF and the current indentation (at most 16
// spaces), so the file ends without a final line break. While the log is
// closed every function does nothing (and those returning a handle return -1).
// An indentation argument is a number of spaces; a negative one means the
// current indentation.
#pragma once

#include "base/Types.h"

constexpr u32 kLogValueColumn = 28;     // where values start
constexpr u32 kLogMaxIndent = 16;       // spaces written after a line break at most
constexpr u32 kLogMaxColumn = 64;       // a column given by a caller is capped here
constexpr u32 kLogMaxPlaceholder = 512; // widest placeholder field

// Creates the file anew (a relative path is taken from the program's folder)
// and writes the first line. True when the log is open (also when it already
// was); false, with errno saying why, when the file cannot be made or its
// first line cannot be written (a full disk): the log stays closed.
bool DXLOpenLogW(const wchar* path);
bool DXLOpenLogA(const char* path);
// Ends every open block (writing their closing texts, innermost first), writes
// "LOG FINISHED." at indentation 0 and closes the log.
void DXLCloseLog();
bool DXLLogIsOpen();
// The full path of the log last opened (also after it was closed); empty
// before any was.
const char* DXLGetLogPath();

void DXLLogLine(i32 indent, const char* text);
// The label, the value padded to the value column (at least one space); an
// empty value gives the label alone.
void DXLLogValueA(i32 indent, const char* label, const char* value);
void DXLLogValueW(i32 indent, const wchar* label, const wchar* value);
void DXLLogValueFormat(i32 indent, const char* label, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void DXLLogChoiceA(i32 indent, const char* label, bool flag, const char* ifSet, const char* ifNot);
void DXLLogChoiceW(i32 indent, const wchar* label, bool flag, const wchar* ifSet, const wchar* ifNot);

// A name the game looked up in its data and did not find (a sprite, an
// animation, a sound, a particle system, a text key falling back to the
// language's "NF" text): the line "look-up missed: KIND NAME" at
// indentation 0, once for each kind and name while the log stays open.
void DXLLogLookupMissA(const char* kind, const char* name);
void DXLLogLookupMissW(const char* kind, const wchar* name);

// Opens a timed block: unless nested, the open block is ended first (with its
// closing text). Writes the text and the local time "HH:NN:SS.ZZZ" and indents
// what follows by 4 more.
void DXLLogBeginBlock(const char* text, const char* closingText, bool nested);
// Ends the innermost block: back to its indentation, its closing text when it
// succeeded, then an empty entry (a blank line after the block).
void DXLLogEndBlock(bool succeeded);
// Pads the current line to the column (the value column when negative).
void DXLLogTabTo(i32 column);

// Reserves a field of `width` characters at the current position (the text's
// length when width is below 1; at most 512), holding the text cut or padded
// with spaces. Returns the field's handle (its byte position in the file), or
// -1 when nothing was reserved.
i32 DXLLogAddPlaceholder(i32 width, const char* text);
// Overwrites a reserved field with the formatted text (at most 513 characters)
// cut or padded to the field's width; the rest of the file never moves. With
// `remove` the field is forgotten and -1 returned, else the handle. An unknown
// handle gives -1.
i32 DXLLogFillPlaceholder(i32 handle, bool remove, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
i32 DXLLogRemovePlaceholder(i32 handle);  // always -1

// "ERROR! " + text + the result's error name + " - " + its description.
void DXLLogDXError(i32 indent, const char* text, i32 result);
// "ERROR! " + the formatted message (at most 1024 characters). The wide form
// takes a wide format whose %s and %c arguments are wide as well.
void DXLReportError(i32 indent, const wchar* format, ...);
void DXLReportErrorA(i32 indent, const char* format, ...) __attribute__((format(printf, 2, 3)));
