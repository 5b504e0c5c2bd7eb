#include "image/png_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("WritePng", text); }

QString CannotWrite(const QString& path, const QString& why) { return Tr("Cannot write %1: %2").arg(path, why); }

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Encoded in memory first, so that a failing disk is told once, in the system's words,
// and not through the PNG library's own messages.
bool Encode(const QImage& image, QByteArray& png) {
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  return QImageWriter(&buffer, "png").write(image);
}

// The file a path names once every symbolic link is followed; where the last link
// dangles, the file it names, which is then made.
QString Resolved(const QString& path) {
  QFileInfo info(path);
  for (int links = 0; info.isSymLink() && links < 40; ++links) {
    if (info.exists()) return info.canonicalFilePath();
    info.setFile(info.symLinkTarget());
  }
  return info.filePath();
}

bool IsSpecialFile(const QString& path) {
  struct stat status {};
  return ::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode);
}

// Every byte, however many calls it takes; errno tells a failure.
bool WriteAll(int fd, const QByteArray& bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

QString WriteInPlace(const QByteArray& png, const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return CannotWrite(path, SystemReason(errno));
  const bool written = WriteAll(fd, png);
  const int error = errno;
  ::close(fd);
  return written ? QString() : CannotWrite(path, SystemReason(error));
}

QString WriteWhole(const QByteArray& png, const QString& shown, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return CannotWrite(shown, file.errorString());
  // Straight to the file, so that a full disk is told in the system's words.
  if (!WriteAll(file.handle(), png)) {
    const int error = errno;
    file.cancelWriting();
    return CannotWrite(shown, SystemReason(error));
  }
  if (!file.commit()) return CannotWrite(shown, file.errorString());
  return {};
}

}  // namespace

QString WritePng(const QImage& image, const QString& path) {
  if (path.isEmpty()) return Tr("No file name was given.");
  if (image.isNull()) return CannotWrite(path, Tr("there is no figure to write"));
  QByteArray png;
  if (!Encode(image, png)) return CannotWrite(path, Tr("the image could not be encoded as PNG"));
  const QString target = Resolved(path);
  return IsSpecialFile(target) ? WriteInPlace(png, target) : WriteWhole(png, path, target);
}

QString WritePng(const QImage& image, std::FILE* stream, const QString& name) {
  if (image.isNull()) return CannotWrite(name, Tr("there is no figure to write"));
  QByteArray png;
  if (!Encode(image, png)) return CannotWrite(name, Tr("the image could not be encoded as PNG"));
  std::fflush(stream);
  return WriteAll(fileno(stream), png) ? QString() : CannotWrite(name, SystemReason(errno));
}
