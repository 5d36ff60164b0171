#include "io/MemoryLimit.h"

#include "io/SmallFile.h"

#include <QList>

#include <algorithm>

namespace io {
namespace {

// The first number of a small system file; -1 when missing or not a number ("max").
qint64 numberIn(const QByteArray& path, const QByteArray& key = QByteArray()) {
    QByteArray content;
    if (!readSmallFile(path, 64 * 1024, content)) return -1;
    qsizetype at = 0;
    if (!key.isEmpty()) {
        at = content.indexOf(key);
        if (at < 0) return -1;
        at += key.size();
    }
    const qsizetype end = content.indexOf('\n', at);
    bool ok = false;
    const qint64 value = content.mid(at, end < 0 ? -1 : end - at).trimmed().split(' ').first().toLongLong(&ok);
    return ok ? value : -1;
}

// mountinfo writes blanks and backslashes in paths as octal escapes.
QByteArray unescape(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int c = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(c);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

struct Hierarchy {
    QByteArray root;         // the part of the hierarchy that is mounted
    QByteArray mountPoint;
    const char* limitFile;
    const char* usageFile;
};

// The room left in one group and its parents up to the mount point; -1 when none is limited.
qint64 leftAlong(const Hierarchy& h, QByteArray group) {
    if (h.root != "/" && group.startsWith(h.root)) group = group.mid(h.root.size());
    QByteArray dir = h.mountPoint + (group == "/" ? QByteArray() : group);
    qint64 left = -1;
    for (;;) {
        const qint64 limit = numberIn(dir + "/" + h.limitFile);
        const qint64 used = numberIn(dir + "/" + h.usageFile);
        if (limit > 0 && used >= 0) {
            const qint64 room = std::max<qint64>(0, limit - used);
            left = left < 0 ? room : std::min(left, room);
        }
        if (dir.size() <= h.mountPoint.size()) break;
        dir.truncate(std::max(h.mountPoint.size(), dir.lastIndexOf('/')));
    }
    return left;
}

} // namespace

qint64 cgroupMemoryLeft(const QByteArray& cgroups, const QByteArray& mounts, const QByteArray& root) {
    QList<Hierarchy> v1, v2;
    for (const QByteArray& line : mounts.split('\n')) {
        const qsizetype dash = line.indexOf(" - ");
        if (dash < 0) continue;
        const QList<QByteArray> before = line.left(dash).split(' ');
        const QList<QByteArray> after = line.mid(dash + 3).split(' ');
        if (before.size() < 5 || after.size() < 3) continue;
        const QByteArray mounted = unescape(before[3]), point = root + unescape(before[4]);
        if (after[0] == "cgroup2") v2.append({mounted, point, "memory.max", "memory.current"});
        if (after[0] == "cgroup" && after[2].split(',').contains("memory"))
            v1.append({mounted, point, "memory.limit_in_bytes", "memory.usage_in_bytes"});
    }
    qint64 left = -1;
    const auto take = [&left](qint64 room) {
        if (room >= 0) left = left < 0 ? room : std::min(left, room);
    };
    for (const QByteArray& line : cgroups.split('\n')) {
        // "hierarchy-ID:controllers:path"; v2 is "0::path".
        const qsizetype first = line.indexOf(':'), second = line.indexOf(':', first + 1);
        if (first < 0 || second < 0) continue;
        const QByteArray controllers = line.mid(first + 1, second - first - 1);
        const QByteArray group = line.mid(second + 1).trimmed();
        if (!group.startsWith('/')) continue;
        const QList<Hierarchy>& mounted = controllers.isEmpty() ? v2 : v1;
        if (!controllers.isEmpty() && !controllers.split(',').contains("memory")) continue;
        for (const Hierarchy& h : mounted) take(leftAlong(h, group));
    }
    return left;
}

qint64 memoryLeft(const QByteArray& root) {
    qint64 available = numberIn(root + "/proc/meminfo", "MemAvailable:");
    if (available >= 0) available *= 1024;
    QByteArray cgroups, mounts;
    if (readSmallFile(root + "/proc/self/cgroup", 1 << 20, cgroups) &&
        readSmallFile(root + "/proc/self/mountinfo", 4 << 20, mounts)) {
        const qint64 left = cgroupMemoryLeft(cgroups, mounts, root);
        if (left >= 0) available = available < 0 ? left : std::min(available, left);
    }
    return available;
}

} // namespace io
