#include "settings_file.h"

#include "logging.h"
#include "private_file.h"
#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestrum::settings_file {

namespace {

StoreError fileError(const QString& fileName, const QString& problem) {
    return StoreError(
        QStringLiteral("the settings file %1 %2").arg(fileName, problem).toStdString());
}

StoreError notWritable(const QString& fileName, const QString& reason) {
    return fileError(fileName, QStringLiteral("cannot be written (%1): check that you own it and "
                                              "its folder and that the disk has room")
                                   .arg(reason));
}

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// QSettings writes one line per key and ends every line, so a file cut short by a full disk
// lacks its last line end or some of its key lines.
bool landedWhole(const QByteArray& content, const Values& values) {
    if (values.isEmpty()) {
        return true;
    }
    if (!content.endsWith('\n')) {
        return false;
    }
    qsizetype keyLines = 0;
    for (const QByteArray& line : content.split('\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith('[')) {
            ++keyLines;
        }
    }
    return keyLines == values.size();
}

// Without this a power cut soon after the rename can bring back the old directory entry.
void syncFolder(const QString& fileName) {
    const int folder =
        ::open(QFile::encodeName(QFileInfo(fileName).absolutePath()).constData(), O_RDONLY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void refreshBackup(const QString& fileName, const QByteArray& content) {
    QString error;
    if (!writePrivateFile(backupName(fileName), content, error)) {
        qCWarning(lcCore).noquote()
            << "The copy" << backupName(fileName) << "of the settings was not refreshed:" << error;
    }
}

}  // namespace

Values read(const QString& fileName) {
    QSettings file(fileName, QSettings::IniFormat);
    Values values;
    for (const QString& key : file.allKeys()) {
        values.insert(key, file.value(key));
    }
    if (file.status() == QSettings::FormatError) {
        throw fileError(fileName, QStringLiteral("is not an INI file and was left as it is: move "
                                                 "it aside so that a new one is made"));
    }
    return values;
}

void write(const QString& fileName, const Values& values, bool withCopy) {
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath())) {
        throw notWritable(fileName, QStringLiteral("its folder cannot be made"));
    }
    // A name of its own each time: QSettings keeps what it last wrote to a file name.
    QTemporaryFile draft(fileName + QStringLiteral(".XXXXXX"));
    if (!draft.open()) {
        throw notWritable(fileName, draft.errorString());
    }
    draft.close();
    {
        QSettings out(draft.fileName(), QSettings::IniFormat);
        for (auto value = values.cbegin(); value != values.cend(); ++value) {
            out.setValue(value.key(), value.value());
        }
        out.sync();
        if (out.status() != QSettings::NoError) {
            throw notWritable(fileName, QStringLiteral("the new file could not be saved"));
        }
    }
    QFile written(draft.fileName());
    const QByteArray content = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    if (!landedWhole(content, values)) {
        throw notWritable(fileName, QStringLiteral("the new file was cut short"));
    }
    // Owner-only, whatever it was before: it may hold the mail and MQTT passwords.
    if (!QFile::setPermissions(draft.fileName(), QFile::ReadOwner | QFile::WriteOwner) ||
        std::rename(QFile::encodeName(draft.fileName()).constData(),
                    QFile::encodeName(fileName).constData()) != 0) {
        throw notWritable(fileName, systemReason());
    }
    draft.setAutoRemove(false);
    syncFolder(fileName);
    if (withCopy) {
        refreshBackup(fileName, content);
    }
}

void refreshCopy(const QString& fileName) {
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        refreshBackup(fileName, file.readAll());
    }
}

QString backupName(const QString& fileName) {
    return fileName + QStringLiteral(".bak");
}

}  // namespace kestrum::settings_file
