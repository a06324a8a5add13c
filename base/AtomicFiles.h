#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

// Files written all or nothing: the bytes go to a temporary file beside the final one, named
// "<final name>.XXXXXX" (six random letters of both cases), which is flushed to the disk and then
// renamed into place. A run killed in between leaves such a file behind; the next start removes
// it. A write that fails (a full disk, no permission) leaves the old file whole and no temporary
// file behind.

// Whether a file name is one of those temporary files for a final name matching one of the
// wildcard patterns ("Vmem.txt", "*.bmp").
bool IsAtomicWriteLeftover(const QString &fileName, const QStringList &finalPatterns);
// Removes the leftovers of atomic writes of files matching the patterns from the folder (not its
// subfolders). Returns the names removed.
QStringList RemoveAtomicWriteLeftovers(const QString &folder, const QStringList &finalPatterns);

// Why a write failed, in the user's words, from the system's error number: "дискът е пълен",
// "няма право на запис в папката", ...; the system's own text for a rare one.
QString WriteFailureReason(int systemError);
// "Файлът <name> не може да бъде записан: <reason>."
QString CannotWriteMessage(const QString &fileName, const QString &reason);

// Replaces the file with the bytes, or writes it when there is none; keeps the old file's
// permissions. Throws a UserError naming the file and the reason when it cannot be written; the
// old file then stays as it was.
void WriteFileAtomically(const QString &fileName, const QByteArray &bytes);
// As WriteFileAtomically, but gives the reason of a failure instead of throwing; empty when the
// file was written.
QString TryWriteFileAtomically(const QString &fileName, const QByteArray &bytes);

enum class NewFileResult { Written, Exists, Failed };
// Writes a file that must not replace another: Exists when a file of that name is there (also if
// one appears while writing), Failed when it cannot be written, with the reason in *reason when
// given; in both cases nothing changes.
NewFileResult WriteNewFile(const QString &fileName, const QByteArray &bytes,
                           QString *reason = nullptr);

// A file written a piece at a time (a long export) that appears only whole, as
// WriteFileAtomically writes it: the pieces go to the temporary file, commit() flushes it and
// renames it into place. Gone without a commit, or after a failure, it leaves the old file as it
// was and no temporary file behind.
class AtomicFileStream : public QIODevice
{
public:
    // Opens the temporary file; throws a UserError naming the file and the reason when it cannot.
    explicit AtomicFileStream(const QString &fileName);
    ~AtomicFileStream() override;
    // Makes the file whole in place; throws a UserError naming the file and the reason.
    void commit();
    // Why the last write failed, in the user's words; empty when none did.
    QString failureReason() const { return m_reason; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    void fail(const QString &reason);

    QString m_fileName, m_target, m_temporary, m_reason;
    int m_fd = -1;
    struct Fallback;
    std::unique_ptr<Fallback> m_fallback;
};
