#include "store/legacy_formats.h"

#include "mainwin/context.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/helpers.h"
#include "store/short_string.h"
#include "store/store_texts.h"

namespace nv {

using namespace legacy_layout;
namespace texts = store_texts;

namespace {

constexpr int kNameLen = 16, kSentAtLen = 22, kTagLen = 11, kFileNameLen = 80, kListLen = 255;

bool isTag25(const QByteArray &tag) { return tag == "2.5.0" || tag == "2.1.0"; }

// The untagged layouts begin with the sender's name, so any bytes "look"
// like one of them. Their writers never stored a length byte above the
// field's width; a record that has one is not of that layout.
bool lengthFits(const char *p, int offset, int width) { return static_cast<unsigned char>(p[offset]) <= width; }

bool plausible20(const char *p)
{
    return lengthFits(p, OldFromUserAt, kNameLen) && lengthFits(p, OldToUserAt, kNameLen)
        && lengthFits(p, OldSentAtAt, kSentAtLen) && lengthFits(p, OldTextAt, OldTextLen)
        && lengthFits(p, V20Text2At, OldTextLen);
}

bool plausible15(const char *p)
{
    return lengthFits(p, OldFromUserAt, kNameLen) && lengthFits(p, OldToUserAt, kNameLen)
        && lengthFits(p, OldSentAtAt, kSentAtLen) && lengthFits(p, OldTextAt, OldTextLen);
}

TMsgInfoRec headOf(const QString &from, const QString &to, const QString &sentAt, qint32 urgent)
{
    TMsgInfoRec r;
    r.FromUser = from;
    r.ToUser = to;
    r.SentAt = sentAt;
    r.Urgent = urgent;
    r.Receipt = kOptionOff;
    return r;
}

// ---- folder converters, one per layout, on the whole file

std::optional<std::vector<ConvertedMsg>> folder26(const QByteArray &bytes)
{
    if (bytes.size() % kMsgInfoRec26Size != 0)
        return std::nullopt;
    std::vector<ConvertedMsg> out;
    out.reserve(size_t(bytes.size() / kMsgInfoRec26Size));
    for (qsizetype off = 0; off < bytes.size(); off += kMsgInfoRec26Size) {
        const TMsgInfoRec26 o = decodeMsgInfoRec26(bytes.constData() + off);
        ConvertedMsg m;
        m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
        m.rec.Version = o.Version;
        m.rec.Receipt = o.Receipt;
        m.rec.TextFileName = bareFileName(o.TextFileName);
        m.rec.ToNames = UnpackNames(o.ToNames);
        out.push_back(std::move(m));
    }
    return out;
}

std::optional<std::vector<ConvertedMsg>> folder25(const QByteArray &bytes)
{
    if (bytes.size() % kMsgInfoRec25Size != 0)
        return std::nullopt;
    std::vector<ConvertedMsg> out;
    out.reserve(size_t(bytes.size() / kMsgInfoRec25Size));
    for (qsizetype off = 0; off < bytes.size(); off += kMsgInfoRec25Size) {
        const TMsgInfoRec25 o = decodeMsgInfoRec25(bytes.constData() + off);
        ConvertedMsg m;
        m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
        m.rec.Version = o.Version;
        m.rec.TextFileName = bareFileName(o.TextFileName);
        m.rec.ToNames = UnpackNames(o.ToNames);
        out.push_back(std::move(m));
    }
    return out;
}

std::optional<std::vector<ConvertedMsg>> folder20(const QByteArray &bytes)
{
    if (bytes.size() % kMsgInfoRec20Size != 0)
        return std::nullopt;
    std::vector<ConvertedMsg> out;
    out.reserve(size_t(bytes.size() / kMsgInfoRec20Size));
    for (qsizetype off = 0; off < bytes.size(); off += kMsgInfoRec20Size) {
        const char *p = bytes.constData() + off;
        if (!plausible20(p))
            return std::nullopt;
        const TMsgInfoRec20 o = decodeMsgInfoRec20(p);
        ConvertedMsg m;
        m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
        m.rec.Version = kTag20;
        m.rec.ToNames = UnpackNames(o.ToUser);
        m.inlineText = o.Text1 + o.Text2;
        out.push_back(std::move(m));
    }
    return out;
}

std::optional<std::vector<ConvertedMsg>> folder15(const QByteArray &bytes)
{
    if (bytes.size() % kMsgInfoRec15Size != 0)
        return std::nullopt;
    std::vector<ConvertedMsg> out;
    out.reserve(size_t(bytes.size() / kMsgInfoRec15Size));
    for (qsizetype off = 0; off < bytes.size(); off += kMsgInfoRec15Size) {
        const char *p = bytes.constData() + off;
        if (!plausible15(p))
            return std::nullopt;
        const TMsgInfoRec15 o = decodeMsgInfoRec15(p);
        ConvertedMsg m;
        m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
        m.rec.Version = kTag15;
        m.rec.ToNames = UnpackNames(o.ToUser);
        m.inlineText = o.Text;
        out.push_back(std::move(m));
    }
    return out;
}

TMsgInfoRec currentRecord(const char *p)
{
    TMsgInfoRec r = decodeMsgInfoRec(p);
    r.TextFileName = bareFileName(r.TextFileName);
    return r;
}

// Offset of the first record that is not a whole "2.8" record; -1 when
// every record is one.
qsizetype firstOlderRecord(const QByteArray &bytes)
{
    for (qsizetype off = 0; off < bytes.size(); off += kMsgInfoRecSize) {
        if (off + kMsgInfoRecSize > bytes.size() || leadingTag(bytes, off) != "2.8")
            return off;
    }
    return -1;
}

FolderLayout converterForTag(const QByteArray &tag)
{
    if (tag == "2.6")
        return FolderLayout::V26;
    if (isTag25(tag))
        return FolderLayout::V25;
    return FolderLayout::V20;
}

OldFolderLoad loadOldFolder(Context &ctx, const QString &path, FolderLayout from, const QString &openMessage)
{
    OldFolderLoad out;
    const auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        ctx.ui.error(openMessage);
        out.status = OldFolderLoad::OpenFailed;
        return out;
    }
    FolderLayout used = from;
    auto msgs = convertFolderFrom(from, *bytes, &used);
    if (!msgs) {
        ctx.ui.plain(texts::OldFolderInvalid);
        ctx.settings.LastFolder.clear(); // so that nothing is saved over the file
        out.status = OldFolderLoad::Invalid;
        return out;
    }
    out.status = OldFolderLoad::Loaded;
    out.layout = used;
    out.msgs = std::move(*msgs);
    return out;
}

void loadOldOutbox(Context &ctx, const QString &path, FolderLayout layout, std::vector<TMsgInfoRec> &outboxRecs,
                   const QString &openMessage, const QString &unreadableMessage)
{
    outboxRecs.clear();
    const auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        ctx.ui.error(openMessage);
        return;
    }
    auto recs = convertOldOutbox(layout, *bytes);
    if (!recs) {
        ctx.ui.error(unreadableMessage);
        return;
    }
    outboxRecs = std::move(*recs);
}

// ---- queue readers, one record each

QueueMsg queue26(const char *p, QueueReader who)
{
    const TMsgInfoRec26 o = decodeMsgInfoRec26(p);
    QueueMsg m;
    m.layout = QueueLayout::V26;
    m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
    m.rec.Version = o.Version;
    // The window sends no receipt for an older message; the poll keeps it.
    m.rec.Receipt = who == QueueReader::Poll ? o.Receipt : kOptionOff;
    m.rec.TextFileName = bareFileName(o.TextFileName);
    m.rec.ToNames = o.ToNames;
    return m;
}

QueueMsg queue25(const char *p)
{
    const TMsgInfoRec25 o = decodeMsgInfoRec25(p);
    QueueMsg m;
    m.layout = QueueLayout::V25;
    m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
    m.rec.Version = o.Version;
    m.rec.TextFileName = bareFileName(o.TextFileName);
    m.rec.ToNames = o.ToNames;
    return m;
}

QueueMsg queue20(const char *p, QueueReader who)
{
    const TMsgInfoRec20 o = decodeMsgInfoRec20(p);
    QueueMsg m;
    m.layout = QueueLayout::V20;
    m.rec = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
    m.rec.Version = kTag20;
    m.rec.ToNames = who == QueueReader::Window ? o.ToUser + QStringLiteral("^$") : o.ToUser + QLatin1Char(';');
    m.InlineText1 = o.Text1;
    m.InlineText2 = o.Text2;
    return m;
}

} // namespace

// ---- records

TMsgInfoRec26 decodeMsgInfoRec26(const char *p)
{
    const qsizetype n = kMsgInfoRec26Size;
    TMsgInfoRec26 r;
    r.Version = readShortString(p, n, V26VersionAt, kTagLen);
    r.FromUser = readShortString(p, n, V26FromUserAt, kNameLen);
    r.ToUser = readShortString(p, n, V26ToUserAt, kNameLen);
    r.SentAt = readShortString(p, n, V26SentAtAt, kSentAtLen);
    r.Urgent = readInt32LE(p, n, V26UrgentAt);
    r.Receipt = readInt32LE(p, n, V26ReceiptAt);
    r.TextFileName = readShortString(p, n, V26TextFileNameAt, kFileNameLen);
    r.ToNames = readShortString(p, n, V26ToNamesAt, kListLen);
    return r;
}

TMsgInfoRec25 decodeMsgInfoRec25(const char *p)
{
    const qsizetype n = kMsgInfoRec25Size;
    TMsgInfoRec25 r;
    r.Version = readShortString(p, n, V25VersionAt, kTagLen);
    r.FromUser = readShortString(p, n, V25FromUserAt, kNameLen);
    r.ToUser = readShortString(p, n, V25ToUserAt, kNameLen);
    r.SentAt = readShortString(p, n, V25SentAtAt, kSentAtLen);
    r.Urgent = readInt32LE(p, n, V25UrgentAt);
    r.TextFileName = readShortString(p, n, V25TextFileNameAt, kFileNameLen);
    r.ToNames = readShortString(p, n, V25ToNamesAt, kListLen);
    return r;
}

TMsgInfoRec20 decodeMsgInfoRec20(const char *p)
{
    const qsizetype n = kMsgInfoRec20Size;
    TMsgInfoRec20 r;
    r.FromUser = readShortString(p, n, OldFromUserAt, kNameLen);
    r.ToUser = readShortString(p, n, OldToUserAt, kNameLen);
    r.SentAt = readShortString(p, n, OldSentAtAt, kSentAtLen);
    r.Urgent = readInt32LE(p, n, OldUrgentAt);
    r.Text1 = readShortString(p, n, OldTextAt, OldTextLen);
    r.Text2 = readShortString(p, n, V20Text2At, OldTextLen);
    return r;
}

TMsgInfoRec15 decodeMsgInfoRec15(const char *p)
{
    const qsizetype n = kMsgInfoRec15Size;
    TMsgInfoRec15 r;
    r.FromUser = readShortString(p, n, OldFromUserAt, kNameLen);
    r.ToUser = readShortString(p, n, OldToUserAt, kNameLen);
    r.SentAt = readShortString(p, n, OldSentAtAt, kSentAtLen);
    r.Urgent = readInt32LE(p, n, OldUrgentAt);
    r.Text = readShortString(p, n, OldTextAt, OldTextLen);
    return r;
}

QByteArray leadingTag(const QByteArray &bytes, qsizetype offset)
{
    return readShortStringBytes(bytes.constData(), bytes.size(), offset, kTagLen);
}

QString UnpackNames(const QString &list)
{
    if (list.contains(QLatin1Char(';')))
        return list;
    QString out;
    out.reserve(list.size());
    for (const QChar c : list) {
        if (c == QLatin1Char('$'))
            continue;
        out.append(c == QLatin1Char('^') ? QLatin1Char(';') : c);
    }
    return out;
}

// ---- folder files

FolderLayout folderConverterFor(const QByteArray &bytes)
{
    const qsizetype at = firstOlderRecord(bytes);
    return at < 0 ? FolderLayout::Current : converterForTag(leadingTag(bytes, at));
}

std::optional<std::vector<ConvertedMsg>> convertFolderFrom(FolderLayout from, const QByteArray &bytes,
                                                           FolderLayout *used)
{
    switch (from) {
    case FolderLayout::Current:
        return std::nullopt;
    case FolderLayout::V26:
        if (auto r = folder26(bytes)) {
            if (used)
                *used = FolderLayout::V26;
            return r;
        }
        [[fallthrough]];
    case FolderLayout::V25:
        if (auto r = folder25(bytes)) {
            if (used)
                *used = FolderLayout::V25;
            return r;
        }
        [[fallthrough]];
    case FolderLayout::V20:
        if (auto r = folder20(bytes)) {
            if (used)
                *used = FolderLayout::V20;
            return r;
        }
        [[fallthrough]];
    case FolderLayout::V15:
        if (auto r = folder15(bytes)) {
            if (used)
                *used = FolderLayout::V15;
            return r;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

FolderParse parseFolderFile(const QByteArray &bytes)
{
    FolderParse out;
    const qsizetype older = firstOlderRecord(bytes);
    if (older < 0) {
        out.status = FolderParse::Current;
        out.msgs.reserve(size_t(bytes.size() / kMsgInfoRecSize));
        for (qsizetype off = 0; off < bytes.size(); off += kMsgInfoRecSize)
            out.msgs.push_back(ConvertedMsg{currentRecord(bytes.constData() + off), QString()});
        return out;
    }

    FolderLayout used = FolderLayout::Current;
    if (auto msgs = convertFolderFrom(converterForTag(leadingTag(bytes, older)), bytes, &used)) {
        out.status = FolderParse::Converted;
        out.layout = used;
        out.msgs = std::move(*msgs);
        return out;
    }

    // No layout reads it: a folder cut short in the middle of a record, or
    // with a damaged record. Keep the whole records that are intact.
    for (qsizetype off = 0; off + kMsgInfoRecSize <= bytes.size(); off += kMsgInfoRecSize) {
        if (leadingTag(bytes, off) == "2.8")
            out.msgs.push_back(ConvertedMsg{currentRecord(bytes.constData() + off), QString()});
    }
    out.status = out.msgs.empty() ? FolderParse::Invalid : FolderParse::Salvaged;
    return out;
}

OldFolderLoad LoadOldFolder26(Context &ctx, const QString &path)
{
    return loadOldFolder(ctx, path, FolderLayout::V26, texts::OldFolder26Open);
}

OldFolderLoad LoadOldFolder25(Context &ctx, const QString &path)
{
    return loadOldFolder(ctx, path, FolderLayout::V25, texts::OldFolder25Open);
}

OldFolderLoad LoadOldFolder20(Context &ctx, const QString &path)
{
    return loadOldFolder(ctx, path, FolderLayout::V20, texts::OldFolder20Open);
}

OldFolderLoad LoadOldFolder15(Context &ctx, const QString &path)
{
    return loadOldFolder(ctx, path, FolderLayout::V15, texts::OldFolder15Open);
}

// ---- Outbox files

std::optional<std::vector<TMsgInfoRec>> convertOldOutbox(FolderLayout layout, const QByteArray &bytes)
{
    int size = 0;
    if (layout == FolderLayout::V26)
        size = kMsgInfoRec26Size;
    else if (layout == FolderLayout::V25)
        size = kMsgInfoRec25Size;
    else
        return std::nullopt;
    if (bytes.size() % size != 0)
        return std::nullopt;

    std::vector<TMsgInfoRec> out;
    out.reserve(size_t(bytes.size() / size));
    for (qsizetype off = 0; off < bytes.size(); off += size) {
        const QByteArray tag = leadingTag(bytes, off);
        const char *p = bytes.constData() + off;
        TMsgInfoRec r;
        if (layout == FolderLayout::V26) {
            if (tag != "2.6")
                return std::nullopt;
            const TMsgInfoRec26 o = decodeMsgInfoRec26(p);
            r = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
            r.Receipt = o.Receipt;
            r.TextFileName = bareFileName(o.TextFileName);
            r.ToNames = o.ToNames;
        } else {
            if (!isTag25(tag))
                return std::nullopt;
            const TMsgInfoRec25 o = decodeMsgInfoRec25(p);
            r = headOf(o.FromUser, o.ToUser, o.SentAt, o.Urgent);
            r.TextFileName = bareFileName(o.TextFileName);
            r.ToNames = o.ToNames;
        }
        r.Version = kRecVersion;
        out.push_back(std::move(r));
    }
    return out;
}

void LoadOldOutbox26(Context &ctx, const QString &path, std::vector<TMsgInfoRec> &outboxRecs)
{
    loadOldOutbox(ctx, path, FolderLayout::V26, outboxRecs, texts::OldOutbox26Open, texts::OldOutbox26Unreadable);
}

void LoadOldOutbox25(Context &ctx, const QString &path, std::vector<TMsgInfoRec> &outboxRecs)
{
    loadOldOutbox(ctx, path, FolderLayout::V25, outboxRecs, texts::OldOutbox25Open, texts::OldOutbox25Unreadable);
}

// ---- queue info files

std::optional<QueueMsg> convertQueueFrom(QueueLayout from, const QByteArray &bytes, QueueReader who)
{
    // A current record cut short fits no layout: whatever an older reader
    // made of it would be wrong.
    if (leadingTag(bytes) == "2.8")
        return std::nullopt;

    const QByteArray tag = leadingTag(bytes);
    QueueLayout layout = from;
    for (;;) {
        switch (layout) {
        case QueueLayout::Current:
            return std::nullopt;
        case QueueLayout::V26:
            if (bytes.size() < kMsgInfoRec26Size) {
                layout = QueueLayout::V25;
            } else if (tag == "2.6") {
                return queue26(bytes.constData(), who);
            } else {
                layout = isTag25(tag) ? QueueLayout::V25 : QueueLayout::V20;
            }
            break;
        case QueueLayout::V25:
            if (bytes.size() >= kMsgInfoRec25Size && isTag25(tag))
                return queue25(bytes.constData());
            layout = QueueLayout::V20;
            break;
        case QueueLayout::V20:
            if (bytes.size() >= kMsgInfoRec20Size && plausible20(bytes.constData()))
                return queue20(bytes.constData(), who);
            return std::nullopt;
        }
    }
}

std::optional<QueueMsg> readQueueBytes(const QByteArray &bytes, QueueReader who)
{
    const QByteArray tag = leadingTag(bytes);
    if (bytes.size() >= kMsgInfoRecSize) {
        if (tag == "2.8") {
            QueueMsg m;
            m.layout = QueueLayout::Current;
            m.rec = currentRecord(bytes.constData());
            return m;
        }
        if (tag == "2.6")
            return convertQueueFrom(QueueLayout::V26, bytes, who);
        if (isTag25(tag))
            return convertQueueFrom(QueueLayout::V25, bytes, who);
        return convertQueueFrom(QueueLayout::V20, bytes, who);
    }
    // Shorter than a current record: the "2.6" reader first.
    return convertQueueFrom(QueueLayout::V26, bytes, who);
}

} // namespace nv
