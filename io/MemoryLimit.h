#pragma once
// How much memory the process may still take: the system's available memory, or less where a
// control group limits the process (a container, a systemd slice, a memory-limited job).
#include <QByteArray>

namespace io {

// The least that the memory limits of the process's control groups and of all their parents
// still allow (limit minus usage), in bytes; -1 when none has a limit. Both kinds are read: the
// memory controller of cgroup v1 (memory.limit_in_bytes, memory.usage_in_bytes) and cgroup v2
// (memory.max, memory.current). 'cgroups' is the text of /proc/self/cgroup, 'mounts' that of
// /proc/self/mountinfo, which tells where each hierarchy is mounted. 'root' is put before every
// mount point: the folder the system's files are read under ("" for the system's own).
qint64 cgroupMemoryLeft(const QByteArray& cgroups, const QByteArray& mounts, const QByteArray& root = QByteArray());

// The system's available memory (MemAvailable) or the control groups' room, whichever is less;
// -1 when neither can be told. 'root' as above: /proc and the control groups' files under it.
qint64 memoryLeft(const QByteArray& root = QByteArray());

} // namespace io
