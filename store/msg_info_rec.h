#pragma once
// TMsgInfoRec: the one fixed record that describes a message in queue info
// files, folder files and memory. 932 bytes, little-endian, tag "2.8".
#include <QByteArray>
#include <QString>

#include <optional>

namespace nv {

constexpr int kMsgInfoRecSize = 932;
inline const QString kRecVersion = QStringLiteral("2.8");

// Urgent and Receipt: readers test for 1 only; writers store 2 for "off".
constexpr qint32 kOptionOn = 1;
constexpr qint32 kOptionOff = 2;

struct TMsgInfoRec {
    QString Version = kRecVersion; // string[11]
    QString FromUser;     // string[16]
    QString ToUser;       // string[16]
    QString SentAt;       // string[22], "yyyy/MM/dd hh:mm:ss"
    qint32 Urgent = kOptionOff;
    qint32 Receipt = kOptionOff;
    QString TextFileName; // string[80], file name without directory
    QString ToNames;      // string[255]
    QString CcNames;      // string[255]
    QString BccNames;     // string[255]

    bool isUrgent() const { return Urgent == kOptionOn; }
    bool receiptOwed() const { return Receipt == kOptionOn; }

    bool operator==(const TMsgInfoRec &) const = default;
};

// Field offsets and widths (string[N]: N characters after the length byte).
namespace msg_info_layout {
constexpr int VersionAt = 0, VersionLen = 11;
constexpr int FromUserAt = 12, FromUserLen = 16;
constexpr int ToUserAt = 29, ToUserLen = 16;
constexpr int SentAtAt = 46, SentAtLen = 22;
constexpr int UrgentAt = 72;
constexpr int ReceiptAt = 76;
constexpr int TextFileNameAt = 80, TextFileNameLen = 80;
constexpr int ToNamesAt = 161, ToNamesLen = 255;
constexpr int CcNamesAt = 417, CcNamesLen = 255;
constexpr int BccNamesAt = 673, BccNamesLen = 255;
} // namespace msg_info_layout

// Exactly kMsgInfoRecSize bytes; every value cut to its field, spare string
// bytes and padding zero. The tag is always "2.8" whatever Version holds: a
// 932-byte record with another tag would be taken for an older layout.
QByteArray encodeMsgInfoRec(const TMsgInfoRec &rec);

// p must hold kMsgInfoRecSize bytes.
TMsgInfoRec decodeMsgInfoRec(const char *p);
// Empty when the buffer holds no whole record at offset.
std::optional<TMsgInfoRec> decodeMsgInfoRec(const QByteArray &bytes, qsizetype offset);

// A file in this layout: at least one whole record and the tag "2.8".
// Anything else is an older layout.
bool isCurrentLayout(const QByteArray &fileBytes);

// Cuts every text field to its width, so the record in memory equals what
// a write and a read give back.
TMsgInfoRec fittedMsgInfoRec(const TMsgInfoRec &rec);

} // namespace nv
