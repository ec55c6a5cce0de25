#include "template/ProfileFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/AppError.h"
#include "platform/GbkCodec.h"

namespace {

std::function<void(QSaveFile&)>& beforeCommitHook() {
    static std::function<void(QSaveFile&)> hook;
    return hook;
}

// The blanks the profile functions strip around names and values. Deliberately ASCII only:
// an ideographic space inside a Chinese value is text, not layout.
constexpr bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f' || c == 0x1A;
}

QStringView trimBlanks(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin].unicode())) ++begin;
    while (end > begin && isBlank(s[end - 1].unicode())) --end;
    return s.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// ---- encoding -------------------------------------------------------------------------------

enum class Encoding { Gbk, Utf8 };

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

bool hasUtf8Bom(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(Utf8Bom, 3));
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int follow = 0;
        unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the first continuation byte
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (end - p <= follow) return false;
        if (p[1] < lo || p[1] > hi) return false;
        for (int i = 2; i <= follow; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF) return false;
        }
        p += follow + 1;
    }
    return true;
}

// Plain ASCII reads the same in both encodings and is treated as GBK, the form a new file
// takes (see the header).
Encoding detectEncoding(QByteArrayView bytes) {
    if (hasUtf8Bom(bytes)) return Encoding::Utf8;
    if (isAscii(bytes)) return Encoding::Gbk;
    return isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Gbk;
}

class LineDecoder {
  public:
    explicit LineDecoder(Encoding encoding) : m_encoding(encoding) {}

    QString decode(QByteArrayView bytes) {
        if (isAscii(bytes)) return QString::fromLatin1(bytes);  // most lines: keys and numbers
        if (m_encoding == Encoding::Utf8) return QString::fromUtf8(bytes);
        if (!m_gbk.isValid())
            m_gbk = QStringDecoder(gbkCodecName(), QStringDecoder::Flag::Stateless);
        m_gbk.resetState();
        return m_gbk.decode(bytes);
    }

  private:
    Encoding m_encoding;
    QStringDecoder m_gbk;
};

QByteArray encodeText(const QString& text, Encoding encoding) {
    if (encoding == Encoding::Utf8) return text.toUtf8();
    QStringEncoder encoder(gbkCodecName());
    return encoder.encode(text);
}

// A file saved as "Unicode" by a Windows editor is UTF-16 with a byte order mark. Lines cannot
// be split at '\n' bytes there (U+4E0A is 0A 4E in little-endian order), so such a file is
// read and edited as UTF-8 with a mark and turned back into UTF-16, in its own byte order and
// with its mark, when it is written. The conversion is exact both ways for any well-formed
// text, so every byte the write does not change stays as it was.
enum class Utf16Order { None, LittleEndian, BigEndian };

Utf16Order utf16OrderOf(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE")) return Utf16Order::LittleEndian;
    if (bytes.startsWith("\xFE\xFF")) return Utf16Order::BigEndian;
    return Utf16Order::None;
}

QStringConverter::Encoding utf16Converter(Utf16Order order) {
    return order == Utf16Order::LittleEndian ? QStringConverter::Utf16LE
                                             : QStringConverter::Utf16BE;
}

// The file's bytes in the form the line scanner and the writer work on: GBK or UTF-8.
struct WorkingText {
    QByteArray bytes;
    Encoding encoding = Encoding::Gbk;
    Utf16Order storedAs = Utf16Order::None;
};

// A mark right after the file's own stays text (U+FEFF), so the flag keeps it.
constexpr auto KeepMarks = QStringConverter::Flag::ConvertInitialBom;

WorkingText workingTextOf(QByteArray stored) {
    const Utf16Order order = utf16OrderOf(stored);
    if (order == Utf16Order::None) {
        const Encoding encoding = detectEncoding(stored);
        return {std::move(stored), encoding, order};
    }
    QStringDecoder decoder(utf16Converter(order), KeepMarks);
    const QString text = decoder.decode(QByteArrayView(stored).sliced(2));
    return {QByteArray(Utf8Bom, 3) + text.toUtf8(), Encoding::Utf8, order};
}

QByteArray storedBytesOf(const QByteArray& working, Utf16Order order) {
    if (order == Utf16Order::None) return working;
    QStringDecoder decoder(QStringConverter::Utf8, KeepMarks);
    const QString text = decoder.decode(QByteArrayView(working).sliced(3));  // after our mark
    QStringEncoder encoder(utf16Converter(order));
    const QByteArray mark = order == Utf16Order::LittleEndian ? "\xFF\xFE" : "\xFE\xFF";
    return mark + encoder.encode(text);
}

// ---- lines ----------------------------------------------------------------------------------

enum class Kind { Blank, Comment, Section, Key, Other };

struct Line {
    qsizetype start = 0;       // first byte of the line
    qsizetype contentEnd = 0;  // end of the text, before "\r\n" or "\n"
    qsizetype end = 0;         // after the line ending (== contentEnd on an unended last line)
    Kind kind = Kind::Blank;
    QString name;   // section or key name, trimmed
    QString value;  // a key's raw value text after the '=' (not trimmed)
};

void classify(Line& line, QStringView text) {
    const QStringView s = trimBlanks(text);
    if (s.isEmpty()) {
        line.kind = Kind::Blank;
        return;
    }
    if (s.front() == u';') {
        line.kind = Kind::Comment;
        return;
    }
    if (s.front() == u'[') {
        const qsizetype close = s.lastIndexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimBlanks(s.sliced(1, close - 1)).toString();
            return;
        }
    }
    const qsizetype eq = s.indexOf(u'=');
    if (eq < 0) {
        line.kind = Kind::Other;
        return;
    }
    line.kind = Kind::Key;
    line.name = trimBlanks(s.first(eq)).toString();
    line.value = s.sliced(eq + 1).toString();
}

// Splits the file into lines at each '\n' byte. That byte never occurs inside a multi-byte
// character of UTF-8, GBK or GB18030, so splitting before decoding is safe, and it lets a
// write keep every other line's bytes exactly.
class LineScanner {
  public:
    LineScanner(const QByteArray& bytes, Encoding encoding)
        : m_bytes(bytes),
          m_decoder(encoding),
          m_pos(encoding == Encoding::Utf8 && hasUtf8Bom(bytes) ? 3 : 0) {}

    // The next line, or false at the end of the file.
    bool next(Line& line) {
        if (m_pos >= m_bytes.size()) return false;
        const qsizetype from = m_first ? 0 : m_pos;  // the byte order mark stays in line 1
        const qsizetype textStart = m_pos;
        qsizetype nl = m_bytes.indexOf('\n', m_pos);
        line.start = from;
        if (nl < 0) {
            line.contentEnd = line.end = m_bytes.size();
        } else {
            line.end = nl + 1;
            line.contentEnd = (nl > textStart && m_bytes[nl - 1] == '\r') ? nl - 1 : nl;
        }
        m_pos = line.end;
        m_first = false;
        const QByteArrayView raw(m_bytes.constData() + textStart, line.contentEnd - textStart);
        line.name.clear();
        line.value.clear();
        classify(line, m_decoder.decode(raw));
        return true;
    }

  private:
    const QByteArray& m_bytes;
    LineDecoder m_decoder;
    qsizetype m_pos;
    bool m_first = true;
};

// The line ending new lines get: the file's first one; CRLF for a file that has none yet.
QByteArray lineEndingOf(const QByteArray& bytes) {
    const qsizetype nl = bytes.indexOf('\n');
    if (nl > 0 && bytes[nl - 1] == '\r') return "\r\n";
    if (nl >= 0) return "\n";
    return "\r\n";
}

std::optional<QByteArray> readAll(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

QString valueAsRead(QStringView raw) {
    QStringView v = trimBlanks(raw);
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    if (v.size() > ProfileFile::MaxValueLength) {
        qsizetype n = ProfileFile::MaxValueLength;
        if (v[n - 1].isHighSurrogate()) --n;
        v = v.first(n);
    }
    return v.toString();
}

// The value of the key in the first section of that name, or nothing.
std::optional<QString> findValue(const QString& path, QStringView section, QStringView key) {
    if (section.isEmpty() || key.isEmpty()) return std::nullopt;
    std::optional<QByteArray> bytes = readAll(path);
    if (!bytes) return std::nullopt;
    const WorkingText text = workingTextOf(std::move(*bytes));
    LineScanner scanner(text.bytes, text.encoding);
    bool inSection = false;
    Line line;
    while (scanner.next(line)) {
        if (line.kind == Kind::Section) {
            if (inSection) return std::nullopt;  // only the first such section counts
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Key && sameName(line.name, key)) {
            return valueAsRead(line.value);
        }
    }
    return std::nullopt;
}

[[noreturn]] void failWrite(const QString& path) {
    throw AppError(QString("Unable to write to %1").arg(path));
}

// Re-encodes a GB18030 file as UTF-8, line by line, keeping every line ending.
QByteArray gbkToUtf8(const QByteArray& bytes) {
    LineDecoder decoder(Encoding::Gbk);
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 2);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? bytes.size() : nl;
        out += decoder.decode(QByteArrayView(bytes.constData() + pos, end - pos)).toUtf8();
        if (nl < 0) break;
        out += '\n';
        pos = nl + 1;
    }
    return out;
}

// Two running copies share the file and every key write reads, edits and replaces it whole.
// Without this lock two writes that overlap would each replace the file with their own edit
// and one key would be lost. The lock file lies beside the settings file and is held for one
// key's write only, so two copies saving at once take turns key by key. A lock left by a
// process that died is recognised at once by its process id (same host) or else by its age.
class WriteLock {
  public:
    explicit WriteLock(const QString& path) : m_lock(path + QStringLiteral(".lock")) {
        m_lock.setStaleLockTime(StaleAfter);
        // QLockFile's own wait sleeps 100 ms and more between attempts, far longer than one
        // key's write takes; short pauses keep two saving copies quick.
        const QDeadlineTimer deadline(WaitAtMost);
        int pauseMs = 1;
        while (!m_lock.tryLock(std::chrono::milliseconds(0))) {
            if (m_lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
                failWrite(path);
            QThread::msleep(std::min<qint64>(pauseMs, deadline.remainingTime() + 1));
            pauseMs = std::min(pauseMs * 2, 16);
        }
    }

  private:
    static constexpr std::chrono::milliseconds WaitAtMost{ProfileFile::LockWaitMs};
    // Far beyond any one key's write; only then is a lock whose owner cannot be checked (a
    // process on another host) taken over.
    static constexpr std::chrono::milliseconds StaleAfter{10000};
    QLockFile m_lock;  // released when the write ends, however it ends
};

void replaceAtomically(const QString& path, const QByteArray& bytes) {
    // No direct-write fall-back: a folder where no temporary file can be made is a failed
    // write, never a half-overwritten settings file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) failWrite(path);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        failWrite(path);
    }
    if (const auto& hook = beforeCommitHook()) hook(file);
    if (!file.commit()) failWrite(path);
}

}  // namespace

std::optional<int> parseProfileInteger(QStringView text) {
    const QStringView s = trimBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;  // no digits at all

    // Decimal: up to 2^31 - 1, or 2^31 with a minus sign. Hexadecimal: any 32-bit pattern.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (base == 16 && c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else if (base == 16 && c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        } else {
            return std::nullopt;  // "12abc": the whole text must be the number
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);  // two's complement (C++20)
}

ProfileFile::ProfileFile(const QString& path) : m_path(path) {}

QString ProfileFile::path() const {
    return m_path;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    return findValue(m_path, trimBlanks(section), trimBlanks(key)).value_or(defaultValue);
}

int ProfileFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const std::optional<QString> text = findValue(m_path, trimBlanks(section), trimBlanks(key));
    if (!text) return defaultValue;
    return parseProfileInteger(*text).value_or(defaultValue);
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ProfileFile::eraseSection(const QString& section) {
    const QString sectionName = trimBlanks(section).toString();
    if (sectionName.isEmpty() || !QFileInfo::exists(m_path)) return;

    const WriteLock lock(m_path);
    std::optional<QByteArray> existing = readAll(m_path);
    if (!existing) failWrite(m_path);
    const WorkingText file = workingTextOf(std::move(*existing));
    const QByteArray& bytes = file.bytes;

    // From the header to the section's last line that is neither blank nor a comment.
    std::optional<qsizetype> from;
    qsizetype to = 0;
    {
        LineScanner scanner(bytes, file.encoding);
        Line line;
        while (scanner.next(line)) {
            if (line.kind == Kind::Section) {
                if (from) break;
                if (sameName(line.name, sectionName)) {
                    // The first line also carries the byte order mark, which stays.
                    from = line.start == 0 && file.encoding == Encoding::Utf8 && hasUtf8Bom(bytes)
                               ? 3
                               : line.start;
                    to = line.end;
                }
            } else if (from && (line.kind == Kind::Key || line.kind == Kind::Other)) {
                to = line.end;
            }
        }
    }
    if (!from) return;  // nothing to erase: leave the file alone

    QByteArray result = bytes;
    result.remove(*from, to - *from);
    if (file.encoding == Encoding::Gbk && !isAscii(result) && isValidUtf8(result))
        result = gbkToUtf8(result);  // as in writeString
    replaceAtomically(m_path, storedBytesOf(result, file.storedAs));
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = trimBlanks(section).toString();
    const QString keyName = trimBlanks(key).toString();
    if (sectionName.isEmpty() || keyName.isEmpty()) return;  // no template to write to
    QString text = value;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            text.truncate(i);
            break;
        }
    }

    const WriteLock lock(m_path);
    WorkingText file;
    if (QFileInfo::exists(m_path)) {
        std::optional<QByteArray> existing = readAll(m_path);
        if (!existing) failWrite(m_path);  // rewriting it would lose what we cannot read
        file = workingTextOf(std::move(*existing));
    }
    const QByteArray& bytes = file.bytes;
    const Encoding encoding = file.encoding;
    const QByteArray eol = lineEndingOf(bytes);

    // Find the first section of that name, the last line in it that is neither blank nor a
    // comment, and the key's first line in it.
    std::optional<Line> sectionEnd;  // last content line of the section (the header at least)
    std::optional<Line> keyLine;
    {
        LineScanner scanner(bytes, encoding);
        bool inSection = false;
        Line line;
        while (scanner.next(line)) {
            if (line.kind == Kind::Section) {
                if (inSection) break;
                inSection = sameName(line.name, sectionName);
                if (inSection) sectionEnd = line;
            } else if (inSection) {
                if (line.kind == Kind::Key && sameName(line.name, keyName)) {
                    keyLine = line;
                    break;
                }
                if (line.kind == Kind::Key || line.kind == Kind::Other) sectionEnd = line;
            }
        }
    }

    QByteArray result;
    if (keyLine) {
        // Keep the line up to its '=' and the blanks after it; replace value and trailing
        // blanks. '=' (0x3D) is never part of a multi-byte character in these encodings.
        qsizetype valueStart = bytes.indexOf('=', keyLine->start) + 1;
        while (valueStart < keyLine->contentEnd && isBlank(char16_t(uchar(bytes[valueStart]))))
            ++valueStart;
        const QByteArray newValue = encodeText(text, encoding);
        const QByteArrayView oldValue(bytes.constData() + valueStart,
                                      keyLine->contentEnd - valueStart);
        if (oldValue == newValue) return;  // nothing changes: leave the file alone
        result.reserve(bytes.size() + newValue.size());
        result.append(bytes.constData(), valueStart);
        result.append(newValue);
        result.append(bytes.constData() + keyLine->contentEnd, bytes.size() - keyLine->contentEnd);
    } else if (sectionEnd) {
        const qsizetype at = sectionEnd->end;
        result.reserve(bytes.size() + keyName.size() + text.size() * 4 + 8);
        result.append(bytes.constData(), at);
        if (sectionEnd->contentEnd == sectionEnd->end) result.append(eol);  // unended last line
        result.append(encodeText(keyName + u'=' + text, encoding));
        result.append(eol);
        result.append(bytes.constData() + at, bytes.size() - at);
    } else {
        result = bytes;
        if (!result.isEmpty() && !result.endsWith('\n')) result.append(eol);
        result.append(encodeText(u'[' + sectionName + u']', encoding));
        result.append(eol);
        result.append(encodeText(keyName + u'=' + text, encoding));
        result.append(eol);
    }

    // GB18030 bytes that happen to be valid UTF-8 would be read back as UTF-8: keep the text,
    // change the bytes (see the header).
    if (encoding == Encoding::Gbk && !isAscii(result) && isValidUtf8(result))
        result = gbkToUtf8(result);

    replaceAtomically(m_path, storedBytesOf(result, file.storedAs));
}

void ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::removeStaleTemporaryFiles() const {
    const QFileInfo settings(m_path);
    const QString prefix = settings.fileName() + u'.';
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-60);
    const auto isSaveFileSuffix = [](QStringView suffix) {
        return suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
                   return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
               });
    };
    const QFileInfoList entries =
        settings.absoluteDir().entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (!name.startsWith(prefix) || !isSaveFileSuffix(QStringView(name).sliced(prefix.size())))
            continue;
        if (entry.lastModified() < staleBefore) QFile::remove(entry.filePath());
    }
}

void ProfileFile::setBeforeCommitHookForTesting(std::function<void(QSaveFile&)> hook) {
    beforeCommitHook() = std::move(hook);
}
