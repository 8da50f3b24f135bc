#include "store/folders.h"

#include "mainwin/context.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/helpers.h"
#include "store/legacy_formats.h"
#include "store/naming.h"
#include "store/store_texts.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <numeric>

namespace nv {

namespace texts = store_texts;

namespace {

// Exclusive creations of one text file tried before it is given up.

QString asciiUpper(const QString &s)
{
    QString out = s;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 'a' && u <= 'z')
            c = QChar(char16_t(u - 32));
    }
    return out;
}

bool hasWildcard(const QString &name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// A folder base that names a file in the mailbox directory and nothing else.
bool usableBase(const QString &base)
{
    return !base.isEmpty() && !base.contains(QLatin1Char('/')) && !base.contains(QLatin1Char('\\'))
        && !base.contains(QChar(u'\0')) && base != QLatin1String(".") && base != QLatin1String("..");
}

QString dirOfPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : path.left(slash));
}

// Finds names in one directory the way the file server does: exactly, or
// else ignoring ASCII letter case. The listing is taken once, on the first
// name that is not there as spelled.
class DirNames {
public:
    DirNames(const Files &files, QString dir) : m_files(files), m_dir(std::move(dir)) {}

    const QString &dir() const { return m_dir; }

    QString path(const QString &name)
    {
        const QString exact = Files::join(m_dir, name);
        if (name.isEmpty() || hasWildcard(name) || m_files.exists(exact))
            return exact;
        if (!m_listed) {
            m_listed = true;
            for (const QString &n : m_files.find(m_dir, QStringLiteral("*"))) {
                const QString key = asciiUpper(n);
                if (!m_byUpper.contains(key)) // find() sorts: the first spelling wins
                    m_byUpper.insert(key, n);
            }
        }
        const auto it = m_byUpper.constFind(asciiUpper(name));
        return it == m_byUpper.cend() ? exact : Files::join(m_dir, *it);
    }

private:
    const Files &m_files;
    QString m_dir;
    bool m_listed = false;
    QHash<QString, QString> m_byUpper;
};

QString resolveIn(const Files &files, const QString &dir, const QString &name)
{
    DirNames names(files, dir);
    return names.path(name);
}

// Replaces a folder file whole. The error is always asked for: writeWhole
// tells a full disk (old file kept) from a refused rename (rewritten in
// place) by it.
bool rewriteWhole(Context &ctx, const QString &path, const QByteArray &bytes)
{
    FileError err;
    return ctx.files.writeWhole(path, bytes, &err);
}

// Only message text files are ever deleted for a record: a damaged record
// naming a folder or an export file must not take it with it.
bool deletableTextFile(const QString &path)
{
    return path.endsWith(QLatin1String(".tms"), Qt::CaseInsensitive);
}

QString quoted(const QString &first, const QString &path, const QString &end) { return first + path + end; }

// The preview of a record with a text file in the mailbox directory: read
// at once (a big folder has a text file per record), and looked up ignoring
// letter case only when it is not there as spelled.
QString previewOf(Context &ctx, DirNames &names, const QString &textFileName)
{
    if (textFileName.isEmpty())
        return QString();
    const QString exact = Files::join(names.dir(), textFileName);
    FileError err;
    if (const auto bytes = ctx.files.readAll(exact, &err))
        return firstTextLine(*bytes);
    if (err.code == ENOENT) {
        const QString other = names.path(textFileName);
        return other == exact ? QString() : LoadMsgText(ctx, other);
    }
    return LoadMsgText(ctx, exact); // reports what keeps it from being read
}

NewTextFile createTextFile(Context &ctx, const QString &dir, const QByteArray &body)
{
    return CreateNewTextFile(ctx.random, ctx.files, dir, body);
}

void removeAll(Context &ctx, const QStringList &paths)
{
    for (const QString &p : paths)
        ctx.files.remove(p);
}

bool sameMessage(const TMsgInfoRec &a, const TMsgInfoRec &b)
{
    return a.FromUser == b.FromUser && a.ToUser == b.ToUser && a.SentAt == b.SentAt
        && UnpackNames(a.ToNames) == UnpackNames(b.ToNames) && a.CcNames == b.CcNames && a.BccNames == b.BccNames;
}

void sortMsgs(Context &ctx)
{
    std::vector<QByteArray> keys;
    keys.reserve(ctx.Msgs.size());
    for (const TMsgInfoRec &r : ctx.Msgs)
        keys.push_back(toAnsi(r.SentAt));
    const std::vector<int> order = NewestFirstOrder(keys);
    std::vector<TMsgInfoRec> msgs;
    QStringList previews;
    msgs.reserve(ctx.Msgs.size());
    previews.reserve(qsizetype(ctx.Msgs.size()));
    for (const int i : order) {
        msgs.push_back(std::move(ctx.Msgs[size_t(i)]));
        previews.append(ctx.MsgTexts.value(i));
    }
    ctx.Msgs = std::move(msgs);
    ctx.MsgTexts = std::move(previews);
}

// Writes a text file for every converted record that has none: the whole
// text the record kept inside, else its preview. All or nothing: after a
// failure the text files already written go again, and the caller leaves
// the old folder file as it was.
struct Materialized {
    bool ok = false;
    QStringList names;   // per record: its text file name after the step
    QStringList created; // paths of the text files written
    QString failedTextPath;
};

Materialized materializeTexts(Context &ctx, const std::vector<ConvertedMsg> &msgs, const QStringList &previews)
{
    Materialized out;
    const QString dir = ctx.mailboxDir();
    for (size_t i = 0; i < msgs.size(); ++i) {
        const ConvertedMsg &m = msgs[i];
        if (!m.rec.TextFileName.isEmpty()) {
            out.names.append(m.rec.TextFileName);
            continue;
        }
        const QString text = m.inlineText.isEmpty() ? previews.value(qsizetype(i)) : m.inlineText;
        const NewTextFile t = createTextFile(ctx, dir, toAnsi(text));
        if (!t.ok) {
            removeAll(ctx, out.created);
            out.created.clear();
            out.failedTextPath = t.path;
            return out;
        }
        out.names.append(t.name);
        out.created.append(t.path);
    }
    out.ok = true;
    return out;
}

QByteArray encodeAll(const std::vector<ConvertedMsg> &msgs, const QStringList &names)
{
    QByteArray out;
    out.reserve(qsizetype(msgs.size()) * kMsgInfoRecSize);
    for (size_t i = 0; i < msgs.size(); ++i) {
        TMsgInfoRec r = msgs[i].rec;
        r.TextFileName = names.value(qsizetype(i));
        out += encodeMsgInfoRec(r);
    }
    return out;
}

// The converted folder on display rewritten in the current layout. On a
// failure LastFolder is emptied, so that no later save writes the folder
// from previews and loses the texts still held in the old file.
void rewriteConverted(Context &ctx, const QString &path, const std::vector<ConvertedMsg> &msgs)
{
    const Materialized m = materializeTexts(ctx, msgs, ctx.MsgTexts);
    if (!m.ok) {
        ctx.ui.plain(quoted(texts::SaveFolderText1, m.failedTextPath, texts::PathEndNotSaved));
        ctx.settings.LastFolder.clear();
        return;
    }
    if (!rewriteWhole(ctx, path, encodeAll(msgs, m.names))) {
        removeAll(ctx, m.created);
        ctx.ui.plain(quoted(texts::SaveFolderWrite1, path, texts::PathEndNotSaved));
        ctx.settings.LastFolder.clear();
        return;
    }
    for (size_t i = 0; i < ctx.Msgs.size(); ++i) {
        ctx.Msgs[i].TextFileName = m.names.value(qsizetype(i));
        ctx.Msgs[i].Version = kRecVersion;
    }
}

// A folder file read for an append: its records in the current layout,
// converted first when the file is older.
struct AppendBase {
    enum Status { Ok, Duplicate, Unreadable, TextFailed } status = Ok;
    QByteArray bytes;    // current-layout records to append to
    QStringList created; // text files written by the conversion
    QString failedTextPath;
};

// With dupOf, a folder that already holds that message is left alone
// (Duplicate) before anything is converted.
AppendBase readForAppend(Context &ctx, const QString &path, const TMsgInfoRec *dupOf = nullptr)
{
    AppendBase out;
    if (!ctx.files.exists(path))
        return out;
    auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        out.status = AppendBase::Unreadable;
        return out;
    }
    const FolderParse parse = parseFolderFile(*bytes);
    if (parse.status == FolderParse::Salvaged || parse.status == FolderParse::Invalid) {
        // Appending behind records that cannot be read would bury them.
        out.status = AppendBase::Unreadable;
        return out;
    }
    if (dupOf) {
        for (const ConvertedMsg &m : parse.msgs) {
            if (sameMessage(m.rec, *dupOf)) {
                out.status = AppendBase::Duplicate;
                return out;
            }
        }
    }
    if (parse.status == FolderParse::Current) {
        out.bytes = std::move(*bytes);
        return out;
    }
    QStringList previews;
    for (const ConvertedMsg &m : parse.msgs)
        previews.append(firstTextLine(m.inlineText));
    const Materialized m = materializeTexts(ctx, parse.msgs, previews);
    if (!m.ok) {
        out.status = AppendBase::TextFailed;
        out.failedTextPath = m.failedTextPath;
        return out;
    }
    out.bytes = encodeAll(parse.msgs, m.names);
    out.created = m.created;
    return out;
}

} // namespace

// ---- names and paths

QString FolderBaseName(const Context &ctx, const QString &displayName)
{
    if (displayName == kDeletedFolder)
        return ctx.DeletedBase;
    if (displayName == kOutboxFolder)
        return ctx.OutboxBase;
    return displayName;
}

std::optional<QString> FolderDisplayName(const Context &ctx, const QString &fileName)
{
    if (fileName.size() <= kFolderExt.size() || !fileName.endsWith(kFolderExt, Qt::CaseInsensitive))
        return std::nullopt;
    const QString base = fileName.chopped(kFolderExt.size());
    if (!usableBase(base))
        return std::nullopt;
    const QString upper = asciiUpper(base);
    if (upper.startsWith(QLatin1String("_I")))
        return std::nullopt; // read-inboxes are reached through the Message Inbox window
    if (upper.startsWith(QLatin1String("_O"))) {
        if (!ctx.OutboxBase.isEmpty() && upper == asciiUpper(ctx.OutboxBase))
            return kOutboxFolder;
        return std::nullopt; // another user's
    }
    if (upper.startsWith(QLatin1String("_D"))) {
        if (!ctx.DeletedBase.isEmpty() && upper == asciiUpper(ctx.DeletedBase))
            return kDeletedFolder;
        return std::nullopt;
    }
    // "Outbox.mbx" and "Deleted.mbx" cannot be opened by their names, which
    // stand for the user's own files.
    if (base == kOutboxFolder || base == kDeletedFolder)
        return std::nullopt;
    return base;
}

QString FolderFilePath(const Context &ctx, const QString &displayName)
{
    return resolveIn(ctx.files, ctx.mailboxDir(), FolderBaseName(ctx, displayName) + kFolderExt);
}

QString MailboxTextPath(const Context &ctx, const QString &textFileName)
{
    const QString name = bareFileName(textFileName);
    return name.isEmpty() ? QString() : resolveIn(ctx.files, ctx.mailboxDir(), name);
}

// ---- texts

QString firstTextLine(const QByteArray &ansiText)
{
    qsizetype end = 0;
    while (end < ansiText.size() && end < kMsgTextPreviewLen && ansiText[end] != '\r' && ansiText[end] != '\n')
        ++end;
    return fromAnsi(ansiText.constData(), end);
}

QString firstTextLine(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && end < kMsgTextPreviewLen && text[end] != QLatin1Char('\r')
           && text[end] != QLatin1Char('\n'))
        ++end;
    return text.left(end);
}

QString LoadMsgText(Context &ctx, const QString &path)
{
    if (!ctx.files.exists(path))
        return QString();
    const auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        ctx.ui.error(quoted(texts::LoadMsgTextOpen1, path, texts::PathEnd));
        return QString();
    }
    return firstTextLine(*bytes);
}

// ---- the folder on display

FolderLoadResult LoadFolderMsgs(Context &ctx)
{
    ctx.Msgs.clear();
    ctx.MsgTexts.clear();

    const QString folder = ctx.settings.LastFolder;
    if (folder.isEmpty())
        return FolderLoadResult{false};
    if (!dirIsSet(ctx.LocalDir)) {
        ctx.ui.plain(texts::LocalDirNotDesignated);
        return {};
    }
    if (!usableBase(FolderBaseName(ctx, folder))) {
        ctx.ui.error(texts::FolderAccessError);
        return {};
    }

    const QString path = FolderFilePath(ctx, folder);
    if (ctx.files.exists(path)) {
        const auto bytes = ctx.files.readAll(path);
        if (!bytes) {
            ctx.ui.error(texts::FolderAccessError);
            return {};
        }
        FolderParse parse = parseFolderFile(*bytes);
        DirNames names(ctx.files, ctx.mailboxDir());
        ctx.Msgs.reserve(parse.msgs.size());
        ctx.MsgTexts.reserve(qsizetype(parse.msgs.size()));
        switch (parse.status) {
        case FolderParse::Invalid:
            ctx.ui.plain(texts::OldFolderInvalid);
            ctx.settings.LastFolder.clear(); // so that nothing is saved over it
            break;
        case FolderParse::Salvaged:
            ctx.ui.plain(texts::OldFolderInvalid);
            [[fallthrough]];
        case FolderParse::Current:
            for (ConvertedMsg &m : parse.msgs) {
                ctx.MsgTexts.append(previewOf(ctx, names, m.rec.TextFileName));
                ctx.Msgs.push_back(std::move(m.rec));
            }
            break;
        case FolderParse::Converted:
            for (const ConvertedMsg &m : parse.msgs) {
                ctx.MsgTexts.append(m.rec.TextFileName.isEmpty() ? firstTextLine(m.inlineText)
                                                                 : previewOf(ctx, names, m.rec.TextFileName));
                ctx.Msgs.push_back(m.rec);
            }
            rewriteConverted(ctx, path, parse.msgs);
            break;
        }
    }

    sortMsgs(ctx);
    return FolderLoadResult{!ctx.Msgs.empty()};
}

bool SaveFolderMsgs(Context &ctx)
{
    const QString folder = ctx.settings.LastFolder;
    if (folder.isEmpty())
        return false;
    if (!dirIsSet(ctx.LocalDir)) {
        ctx.ui.plain(texts::NoSavedFolder);
        return false;
    }
    const QString path = FolderFilePath(ctx, folder);
    if (!usableBase(FolderBaseName(ctx, folder))) {
        ctx.ui.plain(quoted(texts::SaveFolderWrite1, path, texts::PathEndNotSaved));
        return false;
    }

    const QString dir = ctx.mailboxDir();
    QStringList created;
    std::vector<size_t> given;
    QByteArray bytes;
    bytes.reserve(qsizetype(ctx.Msgs.size()) * kMsgInfoRecSize);
    for (size_t i = 0; i < ctx.Msgs.size(); ++i) {
        TMsgInfoRec &r = ctx.Msgs[i];
        if (r.TextFileName.isEmpty()) {
            const NewTextFile t = createTextFile(ctx, dir, toAnsi(ctx.MsgTexts.value(qsizetype(i))));
            if (t.ok) {
                r.TextFileName = t.name;
                created.append(t.path);
                given.push_back(i);
            } else {
                ctx.ui.plain(quoted(texts::SaveFolderText1, t.path, texts::PathEndNotSaved));
            }
        }
        bytes += encodeMsgInfoRec(r);
    }

    if (!rewriteWhole(ctx, path, bytes)) {
        // The records on disk still have no text files: neither may memory.
        removeAll(ctx, created);
        for (const size_t i : given)
            ctx.Msgs[i].TextFileName.clear();
        ctx.ui.plain(quoted(texts::SaveFolderWrite1, path, texts::PathEndNotSaved));
        return false;
    }
    for (TMsgInfoRec &r : ctx.Msgs)
        r.Version = kRecVersion;
    return true;
}

bool RemoveMsg(Context &ctx, int index)
{
    if (index < 0 || size_t(index) >= ctx.Msgs.size())
        return false;
    const TMsgInfoRec removed = ctx.Msgs[size_t(index)];
    const bool hasText = index < ctx.MsgTexts.size();
    const QString removedText = ctx.MsgTexts.value(index);
    ctx.Msgs.erase(ctx.Msgs.begin() + index);
    if (hasText)
        ctx.MsgTexts.removeAt(index);
    if (SaveFolderMsgs(ctx))
        return true;
    // Not written: the list goes on showing what the folder file holds.
    ctx.Msgs.insert(ctx.Msgs.begin() + index, removed);
    if (hasText)
        ctx.MsgTexts.insert(index, removedText);
    return false;
}

bool WriteMsgToFolder(Context &ctx, const QString &baseName, int index)
{
    if (baseName.isEmpty()) {
        ctx.ui.error(texts::WriteMsgNoFolder);
        return false;
    }
    if (!dirIsSet(ctx.LocalDir)) {
        ctx.ui.error(texts::WriteMsgNoLocalDir);
        return false;
    }
    if (index < 0 || size_t(index) >= ctx.Msgs.size())
        return false;

    const QString base = FolderBaseName(ctx, baseName);
    const QString path = resolveIn(ctx.files, ctx.mailboxDir(), base + kFolderExt);
    if (!usableBase(base)) {
        ctx.ui.error(quoted(texts::WriteMsgWrite1, path, texts::PathEndNotSaved));
        return false;
    }

    const AppendBase target = readForAppend(ctx, path);
    if (target.status == AppendBase::Unreadable) {
        ctx.ui.error(quoted(texts::WriteMsgOpen1, path, texts::PathEnd));
        return false;
    }
    if (target.status == AppendBase::TextFailed) {
        ctx.ui.error(quoted(texts::WriteMsgWrite1, path, texts::PathEndNotSaved));
        return false;
    }

    TMsgInfoRec copy = ctx.Msgs[size_t(index)];
    copy.TextFileName = bareFileName(copy.TextFileName);
    // Written whole: a failed write leaves the old folder, never half a record.
    if (!rewriteWhole(ctx, path, target.bytes + encodeMsgInfoRec(copy))) {
        removeAll(ctx, target.created);
        ctx.ui.error(quoted(texts::WriteMsgWrite1, path, texts::PathEndNotSaved));
        return false;
    }
    return true;
}

bool WriteToInbox(Context &ctx, const QString &inlineText)
{
    const QString mailbox = ctx.mailboxDir();
    const QString path = resolveIn(ctx.files, mailbox, kInboxFolder + kFolderExt);
    if (!dirIsSet(ctx.LocalDir)) {
        ctx.ui.plain(quoted(texts::InboxWrite1, path, texts::PathEndNotSaved));
        return false;
    }

    TMsgInfoRec rec = fittedMsgInfoRec(ctx.CurrentQueueMsg);
    rec.TextFileName.clear();

    const AppendBase target = readForAppend(ctx, path, &rec);
    if (target.status == AppendBase::Duplicate)
        return true;
    if (target.status == AppendBase::Unreadable) {
        ctx.ui.error(quoted(texts::InboxOpen1, path, texts::PathEnd));
        return false;
    }
    if (target.status == AppendBase::TextFailed) {
        ctx.ui.plain(quoted(texts::InboxWrite1, path, texts::PathEndNotSaved));
        return false;
    }

    QByteArray text;
    const QString queueName = bareFileName(ctx.CurrentQueueMsg.TextFileName);
    const QString queueText = queueName.isEmpty() ? QString() : resolveIn(ctx.files, ctx.queueDir(), queueName);
    if (!queueText.isEmpty() && ctx.files.exists(queueText)) {
        if (const auto t = ctx.files.readAll(queueText))
            text = *t;
    } else if (!inlineText.isEmpty()) {
        text = toAnsi(inlineText);
    }

    QStringList created = target.created;
    const NewTextFile t = createTextFile(ctx, mailbox, text);
    if (t.ok) {
        rec.TextFileName = t.name;
        created.append(t.path);
    } else {
        ctx.ui.plain(quoted(texts::InboxText1, t.path, texts::PathEndNotSaved));
    }

    if (!rewriteWhole(ctx, path, target.bytes + encodeMsgInfoRec(rec))) {
        removeAll(ctx, created);
        ctx.ui.plain(quoted(texts::InboxWrite1, path, texts::PathEndNotSaved));
        return false;
    }
    return true;
}

bool ClearOutBox(Context &ctx)
{
    if (!ctx.ui.askYesNo(MsgKind::Warning, texts::ClearOutboxQuestion))
        return false;
    const QString path = FolderFilePath(ctx, kOutboxFolder);
    if (!usableBase(ctx.OutboxBase)) {
        ctx.ui.error(quoted(texts::ClearOutboxOpen1, path, texts::PathEnd));
        return false;
    }
    if (!ctx.files.exists(path))
        return true;
    const auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        ctx.ui.error(quoted(texts::ClearOutboxOpen1, path, texts::PathEnd));
        return false;
    }
    // Text file names are reduced to bare names, so a stored path never
    // reaches outside the mailbox directory.
    DirNames names(ctx.files, ctx.mailboxDir());
    for (const ConvertedMsg &m : parseFolderFile(*bytes).msgs) {
        if (m.rec.TextFileName.isEmpty())
            continue;
        const QString p = names.path(m.rec.TextFileName);
        if (deletableTextFile(p) && ctx.files.isFile(p))
            ctx.files.remove(p);
    }
    return ctx.files.remove(path) || !ctx.files.exists(path);
}

bool DeleteFolderMsg(Context &ctx, int index, bool msgSaved)
{
    if (index < 0 || size_t(index) >= ctx.Msgs.size() || ctx.settings.LastFolder.isEmpty())
        return false;
    if (ctx.settings.UseDeletedBox && !msgSaved && ctx.settings.LastFolder != kDeletedFolder) {
        // The text file goes with the Deleted copy; without that copy the
        // message stays where it is.
        if (!WriteMsgToFolder(ctx, ctx.DeletedBase, index))
            return false;
        return RemoveMsg(ctx, index);
    }
    const QString textPath = MailboxTextPath(ctx, ctx.Msgs[size_t(index)].TextFileName);
    // The record first: a text file is only deleted once nothing names it.
    if (!RemoveMsg(ctx, index))
        return false;
    if (deletableTextFile(textPath) && ctx.files.isFile(textPath))
        ctx.files.remove(textPath);
    return true;
}

// ---- the folder list

QStringList ScanFolders(Context &ctx, const ImportOffer &offerImports)
{
    ctx.FolderNames.clear();
    if (!dirIsSet(ctx.LocalDir))
        return {};
    const QString dir = ctx.mailboxDir();
    const QStringList exports = ctx.files.find(dir, QStringLiteral("*.exp"));
    if (offerImports && !exports.isEmpty())
        offerImports(exports);
    for (const QString &file : ctx.files.find(dir, QStringLiteral("*.mbx"))) {
        const auto name = FolderDisplayName(ctx, file);
        // A file server that ignores case can still hold _oANN and _OANN.
        if (name && !ctx.FolderNames.contains(*name))
            ctx.FolderNames.append(*name);
    }
    return exports;
}

void SortFolders(Context &ctx)
{
    std::vector<std::pair<QByteArray, QString>> keyed;
    keyed.reserve(size_t(ctx.FolderNames.size()));
    for (const QString &n : ctx.FolderNames)
        keyed.emplace_back(toAnsi(n), n);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    ctx.FolderNames.clear();
    for (auto &k : keyed)
        ctx.FolderNames.append(std::move(k.second));
}

FolderRefresh RefreshFolders(Context &ctx, const ImportOffer &offerImports)
{
    ScanFolders(ctx, offerImports);
    SortFolders(ctx);
    FolderRefresh out;
    out.names = ctx.FolderNames;
    if (ctx.settings.LastFolder.isEmpty()) {
        if (!out.names.isEmpty()) {
            out.selected = 0;
            ctx.settings.LastFolder = out.names.first();
        }
    } else {
        out.selected = int(out.names.indexOf(ctx.settings.LastFolder));
    }
    out.load = LoadFolderMsgs(ctx);
    return out;
}

// ---- order

std::vector<int> NewestFirstOrder(const std::vector<QByteArray> &sentAt)
{
    const int n = int(sentAt.size());
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    if (n < 2)
        return order;

    // Rank the times once, so the sort below compares integers.
    std::vector<int> byKey(order);
    std::sort(byKey.begin(), byKey.end(), [&](int a, int b) { return sentAt[size_t(a)] < sentAt[size_t(b)]; });
    std::vector<int> rank(static_cast<size_t>(n));
    bool equalTimes = false;
    int r = 0;
    for (int k = 0; k < n; ++k) {
        if (k > 0) {
            if (sentAt[size_t(byKey[size_t(k)])] == sentAt[size_t(byKey[size_t(k - 1)])])
                equalTimes = true;
            else
                ++r;
        }
        rank[size_t(byKey[size_t(k)])] = r;
    }

    if (!equalTimes) {
        // Distinct times have one order only.
        std::sort(order.begin(), order.end(), [&](int a, int b) { return rank[size_t(a)] > rank[size_t(b)]; });
        return order;
    }

    // Records with equal times end up where the older clients' exchange
    // sort puts them: for b from the last down to 1, every earlier entry
    // older than entry b is exchanged with it.
    std::vector<int> ranks(rank);
    for (int b = n - 1; b >= 1; --b) {
        int carried = order[size_t(b)];
        int carriedRank = ranks[size_t(b)];
        for (int i = b - 1; i >= 0; --i) {
            if (carriedRank > ranks[size_t(i)]) {
                std::swap(carried, order[size_t(i)]);
                std::swap(carriedRank, ranks[size_t(i)]);
            }
        }
        order[size_t(b)] = carried;
        ranks[size_t(b)] = carriedRank;
    }
    return order;
}

// ---- read-only access

std::optional<std::vector<FolderEntry>> ReadFolderFileReadOnly(Context &ctx, const QString &path, QString *error)
{
    if (error)
        error->clear();
    std::vector<FolderEntry> out;
    if (!ctx.files.exists(path))
        return out;
    const auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        if (error)
            *error = texts::FolderAccessError;
        return std::nullopt;
    }
    FolderParse parse = parseFolderFile(*bytes);
    if (parse.status == FolderParse::Invalid) {
        if (error)
            *error = texts::OldFolderInvalid;
        return std::nullopt;
    }
    if (parse.status == FolderParse::Salvaged && error)
        *error = texts::OldFolderInvalid;

    DirNames names(ctx.files, dirOfPath(path));
    std::vector<QByteArray> keys;
    std::vector<FolderEntry> entries;
    entries.reserve(parse.msgs.size());
    for (ConvertedMsg &m : parse.msgs) {
        FolderEntry e;
        e.versionTag = m.rec.Version;
        e.inlineText = m.inlineText;
        if (!m.rec.TextFileName.isEmpty()) {
            const QString p = names.path(m.rec.TextFileName);
            if (ctx.files.isFile(p)) {
                if (const auto t = ctx.files.readAll(p))
                    e.preview = firstTextLine(*t);
            }
        } else {
            e.preview = firstTextLine(m.inlineText);
        }
        e.rec = std::move(m.rec);
        e.rec.ToNames = UnpackNames(e.rec.ToNames);
        keys.push_back(toAnsi(e.rec.SentAt));
        entries.push_back(std::move(e));
    }
    out.reserve(entries.size());
    for (const int i : NewestFirstOrder(keys))
        out.push_back(std::move(entries[size_t(i)]));
    return out;
}

} // namespace nv
