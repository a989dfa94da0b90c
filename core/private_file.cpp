#include "private_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

namespace kestrum {

// QTemporaryFile creates its file owner-only; QSaveFile would give a new file the umask's mode.
bool writePrivateFile(const QString& fileName, const QByteArray& content, QString& error) {
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QTemporaryFile draft(fileName + QStringLiteral(".XXXXXX"));
    if (!draft.open() || !draft.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        draft.write(content) != content.size() || !draft.flush()) {
        error = draft.errorString();
        return false;
    }
    draft.close();
    if (std::rename(QFile::encodeName(draft.fileName()).constData(),
                    QFile::encodeName(fileName).constData()) != 0) {
        error = QStringLiteral("it could not replace the old file");
        return false;
    }
    draft.setAutoRemove(false);
    return true;
}

}  // namespace kestrum
