#include "shell/monitor_log.h"

#include "core/numbers.h"

#include <QMetaObject>
#include <algorithm>
#include <climits>

QString MonitorLineText(AccessKind kind, int32_t DevAddr, int32_t RegAddr, int32_t Data) {
    const bool read = kind == AccessKind::Read;
    return (read ? QStringLiteral("Read") : QStringLiteral("Write")) + QStringLiteral("\tDev Addr=") + HexString(DevAddr) +
           QStringLiteral("\tAddr Ptr=") + HexString(RegAddr) +
           (read ? QStringLiteral("\tData In=") : QStringLiteral("\tData Out=")) + HexString(Data);
}

uint32_t MonitorLog::AppendWide(AccessKind kind, int32_t DevAddr, int32_t RegAddr, int32_t Data) {
    wide_.push_back({size_, DevAddr, RegAddr, Data});
    return Pack(kind, kWideDevice, 0, 0);
}

void MonitorLog::NewChunk() {
    chunks_.push_back(std::make_unique_for_overwrite<uint32_t[]>(kChunkSize));
    fill_ = 0;
}

QString MonitorLog::LineText(size_t line) const {
    if (line >= size_) return QString();
    const uint32_t w = chunks_[line / kChunkSize][line % kChunkSize];
    const AccessKind kind = (w & 0x80000000u) ? AccessKind::Write : AccessKind::Read;
    const uint32_t dev = (w >> 16) & 0x7FFF;
    if (dev == kWideDevice) {
        auto it = std::lower_bound(wide_.begin(), wide_.end(), line, [](const WideLine& l, size_t n) { return l.line < n; });
        if (it != wide_.end() && it->line == line) return MonitorLineText(kind, it->DevAddr, it->RegAddr, it->Data);
        return QString();
    }
    return MonitorLineText(kind, static_cast<int32_t>(dev), static_cast<int32_t>((w >> 8) & 0xFF),
                           static_cast<int32_t>(w & 0xFF));
}

void MonitorLog::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    wide_.clear();
    wide_.shrink_to_fit();
    fill_ = kChunkSize;
    size_ = 0;
}

size_t MonitorLog::MemoryBytes() const {
    return chunks_.size() * kChunkSize * sizeof(uint32_t) + chunks_.capacity() * sizeof(chunks_[0]) +
           wide_.capacity() * sizeof(WideLine);
}

MonitorListModel::MonitorListModel(QObject* parent) : QAbstractListModel(parent) {}

void MonitorListModel::SchedulePublish() {
    publishPending_ = true;
    QMetaObject::invokeMethod(this, &MonitorListModel::Publish, Qt::QueuedConnection);
}

void MonitorListModel::Publish() {
    publishPending_ = false;
    // Rows are counted in int: a list past INT_MAX lines shows its first INT_MAX.
    const int total = static_cast<int>(std::min<size_t>(log_.Size(), INT_MAX));
    if (total <= published_) return;
    beginInsertRows(QModelIndex(), published_, total - 1);
    published_ = total;
    endInsertRows();
}

void MonitorListModel::Clear() {
    beginResetModel();
    log_.Clear();
    published_ = 0;
    endResetModel();
}

int MonitorListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : published_; }

QVariant MonitorListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= published_) return {};
    return log_.LineText(static_cast<size_t>(index.row()));
}
