#include "store/msg_info_rec.h"

#include "store/short_string.h"

namespace nv {

using namespace msg_info_layout;

QByteArray encodeMsgInfoRec(const TMsgInfoRec &rec)
{
    QByteArray b(kMsgInfoRecSize, '\0');
    writeShortString(b, VersionAt, VersionLen, kRecVersion);
    writeShortString(b, FromUserAt, FromUserLen, rec.FromUser);
    writeShortString(b, ToUserAt, ToUserLen, rec.ToUser);
    writeShortString(b, SentAtAt, SentAtLen, rec.SentAt);
    writeInt32LE(b, UrgentAt, rec.Urgent);
    writeInt32LE(b, ReceiptAt, rec.Receipt);
    writeShortString(b, TextFileNameAt, TextFileNameLen, rec.TextFileName);
    writeShortString(b, ToNamesAt, ToNamesLen, rec.ToNames);
    writeShortString(b, CcNamesAt, CcNamesLen, rec.CcNames);
    writeShortString(b, BccNamesAt, BccNamesLen, rec.BccNames);
    Q_ASSERT(b.size() == kMsgInfoRecSize);
    return b;
}

TMsgInfoRec decodeMsgInfoRec(const char *p)
{
    const qsizetype n = kMsgInfoRecSize;
    TMsgInfoRec r;
    r.Version = readShortString(p, n, VersionAt, VersionLen);
    r.FromUser = readShortString(p, n, FromUserAt, FromUserLen);
    r.ToUser = readShortString(p, n, ToUserAt, ToUserLen);
    r.SentAt = readShortString(p, n, SentAtAt, SentAtLen);
    r.Urgent = readInt32LE(p, n, UrgentAt);
    r.Receipt = readInt32LE(p, n, ReceiptAt);
    r.TextFileName = readShortString(p, n, TextFileNameAt, TextFileNameLen);
    r.ToNames = readShortString(p, n, ToNamesAt, ToNamesLen);
    r.CcNames = readShortString(p, n, CcNamesAt, CcNamesLen);
    r.BccNames = readShortString(p, n, BccNamesAt, BccNamesLen);
    return r;
}

std::optional<TMsgInfoRec> decodeMsgInfoRec(const QByteArray &bytes, qsizetype offset)
{
    if (offset < 0 || offset > bytes.size() - kMsgInfoRecSize)
        return std::nullopt;
    return decodeMsgInfoRec(bytes.constData() + offset);
}

bool isCurrentLayout(const QByteArray &fileBytes)
{
    return fileBytes.size() >= kMsgInfoRecSize
        && readShortStringBytes(fileBytes.constData(), fileBytes.size(), VersionAt, VersionLen) == "2.8";
}

TMsgInfoRec fittedMsgInfoRec(const TMsgInfoRec &rec)
{
    TMsgInfoRec r = rec;
    r.Version = kRecVersion;
    r.FromUser = fitShortString(r.FromUser, FromUserLen);
    r.ToUser = fitShortString(r.ToUser, ToUserLen);
    r.SentAt = fitShortString(r.SentAt, SentAtLen);
    r.TextFileName = fitShortString(r.TextFileName, TextFileNameLen);
    r.ToNames = fitShortString(r.ToNames, ToNamesLen);
    r.CcNames = fitShortString(r.CcNames, CcNamesLen);
    r.BccNames = fitShortString(r.BccNames, BccNamesLen);
    return r;
}

} // namespace nv
