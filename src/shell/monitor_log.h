#pragma once
// The monitor's lines as compact records: four bytes a line, the text made only when a line is
// shown. Records live in fixed chunks, so the list grows without copying and without slack.
#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

enum class AccessKind : uint8_t { Read, Write };

// The text of one monitor line, the four parts joined by tabs.
QString MonitorLineText(AccessKind kind, int32_t DevAddr, int32_t RegAddr, int32_t Data);

class MonitorLog {
public:
    void Append(AccessKind kind, int32_t DevAddr, int32_t RegAddr, int32_t Data) {
        // Device 0 to 0x7FFE, register and data 0 to 255 pack into one word; the rest goes aside.
        uint32_t word;
        if (static_cast<uint32_t>(DevAddr) < kWideDevice && static_cast<uint32_t>(RegAddr) < 256 &&
            static_cast<uint32_t>(Data) < 256)
            word = Pack(kind, static_cast<uint32_t>(DevAddr), static_cast<uint32_t>(RegAddr), static_cast<uint32_t>(Data));
        else
            word = AppendWide(kind, DevAddr, RegAddr, Data);
        if (fill_ == kChunkSize) NewChunk();
        chunks_.back()[fill_++] = word;
        ++size_;
    }

    size_t Size() const { return size_; }
    QString LineText(size_t line) const;
    void Clear();
    // Bytes held for the lines (records, chunk table and the rare wide lines).
    size_t MemoryBytes() const;

    static constexpr size_t kChunkSize = size_t{1} << 16;

private:
    static constexpr uint32_t kWideDevice = 0x7FFF;
    static uint32_t Pack(AccessKind kind, uint32_t dev, uint32_t reg, uint32_t data) {
        return (kind == AccessKind::Write ? 0x80000000u : 0u) | dev << 16 | reg << 8 | data;
    }
    struct WideLine {
        size_t line;
        int32_t DevAddr, RegAddr, Data;
    };
    uint32_t AppendWide(AccessKind kind, int32_t DevAddr, int32_t RegAddr, int32_t Data);
    void NewChunk();

    std::vector<std::unique_ptr<uint32_t[]>> chunks_;
    size_t fill_ = kChunkSize;  // records used in the last chunk
    size_t size_ = 0;
    std::vector<WideLine> wide_;  // in line order
};

// The list model over the log. New lines are announced to the view once per turn of the event
// loop, so logging an access costs no view work; Publish() announces them at once.
class MonitorListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit MonitorListModel(QObject* parent = nullptr);

    void Append(AccessKind kind, int32_t DevAddr, int32_t RegAddr, int32_t Data) {
        log_.Append(kind, DevAddr, RegAddr, Data);
        if (!publishPending_) SchedulePublish();
    }
    void Publish();
    void Clear();
    const MonitorLog& Log() const { return log_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void SchedulePublish();
    MonitorLog log_;
    int published_ = 0;
    bool publishPending_ = false;
};
