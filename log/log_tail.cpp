#include "log_tail.h"

#include "windows1257.h"

#include <QFile>

namespace kestrum {

QString readLogTail(const QString& filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) {
        return {};
    }
    QString leftOut;
    if (file.size() > kLogTailLimit) {
        file.seek(file.size() - kLogTailLimit);
        file.readLine();  // the rest of the line the cut fell in
        leftOut = QStringLiteral("Logi algus jäeti välja: logi on suurem kui 1 MB.\r\n");
    }
    return leftOut + fromWindows1257(file.readAll());
}

}  // namespace kestrum
