#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

class QSaveFile;

// The settings file's reader and writer, our stand-in for the Windows profile
// functions GetPrivateProfileStringW / WritePrivateProfileStringW.
//
// A ProfileFile is only a path. Every call reads the file afresh and every write goes to the
// disk before it returns; nothing is cached and nothing is held open, because the old program
// opened the file by its full path inside each handler and two running copies share it.
//
// Reading follows the Windows rules that matter to this program:
// - Section and key names are matched without regard to case (Unicode case folding); the
//   names asked for and the names in the file are both trimmed of blanks (space, tab, CR,
//   VT, FF, and the DOS end-of-file mark 0x1A).
// - A line "[name]" opens a section (the name ends at the line's last ']'); a line holding
//   "key=value" sets a key (the name ends at the first '='). Lines before the first section,
//   lines starting with ';' and lines without '=' are not keys. When a section or a key is
//   present more than once, the first one counts, for reads and writes alike.
// - The value loses its surrounding blanks, then one pair of matching surrounding double or
//   single quotes, and is cut to 2047 UTF-16 units (never in the middle of a surrogate pair).
// - A missing or unreadable file, section or key gives the default.
// - Integers and booleans: see parseProfileInteger() below. A boolean is read as an integer
//   with 1 or 0 as default; any number other than 0 is true.
//
// Writing changes exactly one thing in the file:
// - an existing key keeps its line, its spelling and everything up to the '=' and the blanks
//   after it; only the value and its trailing blanks are replaced;
// - a key new to its section is inserted after the section's last line that is neither blank
//   nor a comment (so blank lines and comments that lead into the next section stay below it);
// - a section new to the file is appended at the end as "[name]" and the key line.
// Every other byte stays as it was, including each line's ending. New lines end as the file's
// lines do (the first line ending decides: CRLF or LF); a new file uses CRLF, as the Windows
// program did. A last line without an ending gets one when something is put after it. A
// write that changes nothing does not touch the file. Nothing is deleted except by
// eraseSection().
// Values are stored as given, with one exception: a value is cut at its first CR or LF, which
// is exactly what a read of the Windows-written line would give back, without leaving the
// rest of the text behind as a stray line. (As on Windows, blanks around a value and a pair
// of surrounding quotes do not survive a read.)
//
// Encoding. Earlier versions wrote the file in the ANSI code page, GBK. A file that starts with
// a UTF-16 byte order mark (little- or big-endian, as Windows editors save "Unicode" text) is
// UTF-16 and stays UTF-16 in its byte order, with its mark. A file that starts with
// a UTF-8 byte order mark, or that holds non-ASCII bytes that are all valid UTF-8, is UTF-8 and
// stays UTF-8 (with or without its mark). Any other file is GBK, decoded and written as GB18030:
// GB18030 equals GBK for every GBK character and can encode every other Unicode character as
// well, so no text is ever lost. A file of plain ASCII bytes reads the same either way and is
// treated as GBK.
// A new file is written in GB18030, i.e. GBK for all Chinese text this program stores, so that
// the older Windows versions, which read the file in the ANSI code page, still find their
// Chinese section names and values. To keep every round trip exact, one exception: should the
// GB18030 bytes of a file come out as valid UTF-8 (possible for a few short Chinese texts,
// e.g. "顺" alone is CB B3, which is also valid UTF-8), a later read could not tell them from
// UTF-8, so that file is written as UTF-8 instead (same text, other bytes); from then on it is
// a UTF-8 file. Files with any real content ("宋体", the courier names) never meet this case.
//
// Failure: a write that cannot be completed throws AppError("Unable to write to <path>"),
// e.g. a folder without write permission, a missing folder, or an existing file that cannot
// be read (rewriting it would lose its content). The file is replaced atomically: the new
// content is written to a temporary file in the same folder which is then renamed over the
// old one (QSaveFile), so a failure or a crash in the middle leaves the old file whole. That
// needs the right to create files in the folder; without it the write fails (we never fall
// back to overwriting in place). The replaced file keeps its permissions; a symbolic link is
// followed and its target is replaced.
// A temporary file left by a process killed in the middle of a write is removed at the next
// start (removeStaleTemporaryFiles()).
//
// Two running copies of the program share the file. Each write holds a lock file beside it,
// "<name>.lock", from reading the file to replacing it, so writes of different processes
// never overlap and no key is lost; the copies take turns key by key. A write that cannot
// get the lock within LockWaitMs fails like any other write, with the file unchanged. Reads
// take no lock: the file is only ever replaced whole, so a read sees one version or the next.
//
// An empty section name (after trimming): reads give the default and writes do nothing. The
// template keys use the courier picker's current text as their section; with no courier
// selected there is no template to write to, and a "[]" section must never appear. The same
// holds for an empty key name.
class ProfileFile {
  public:
    explicit ProfileFile(const QString& path);

    QString path() const;

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    // Removes the first section of that name: its header and its lines up to its last one
    // that is neither blank nor a comment (the blank lines and comments that lead into the
    // next section stay). Every other byte stays as it was; no such section, no write.
    void eraseSection(const QString& section);

    // Removes the temporary files of writes that never finished (the process was killed
    // between writing the new content and putting it in place): files beside the settings
    // file named like it followed by a dot and six letters, as the atomic replace names them,
    // that have not changed for a minute. A younger one may belong to a write in progress of
    // another running copy. Failures are ignored: the files only take room.
    void removeStaleTemporaryFiles() const;

    // How long a write waits for another process's write to the same file before it fails.
    static constexpr int LockWaitMs = 5000;

    // The longest value a read gives back, in UTF-16 units (the old 2048-unit buffer).
    static constexpr int MaxValueLength = 2047;

    // Test seam: called with the filled temporary file just before it replaces the real one.
    // A test may cancel the write there (QSaveFile::cancelWriting) to make the commit fail, or
    // end the process to simulate dying half-way. Empty in the program.
    static void setBeforeCommitHookForTesting(std::function<void(QSaveFile&)> hook);

  private:
    QString m_path;
};

// The integer form of the settings file, as the old conversion read it:
// leading and trailing blanks, an optional '+' or '-', then either decimal digits, or
// hexadecimal digits after "0x", "0X", "$", "x" or "X". The whole text must be such a number:
// "12abc", "", "-", "$", "0x", "1 2" give nothing. A decimal number must lie in the range of
// int; a hexadecimal one may use all 32 bits and is taken as a two's complement pattern
// ("$FFFFFFFF" is -1), as the old conversion did, before the sign applies.
std::optional<int> parseProfileInteger(QStringView text);
