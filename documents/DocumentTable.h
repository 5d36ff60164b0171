#pragma once
// The table of document slots: which slots are in use and whether each slot's document changed.
// A slot keeps its (possibly closed) window reference for the whole run; slot 0 is never used.
#include <QPointer>
#include <cstdint>
#include <vector>

class Form1;

struct DocumentState {
    std::int16_t Free = 0;      // -1: the slot's window was closed and the slot may be reused
    std::int16_t Changed = 0;   // -1: the text changed since it was created, loaded or saved
};

class DocumentTable {
public:
    static constexpr int kMaxSlot = 32767;

    explicit DocumentTable(int maxSlot = kMaxSlot);

    // Slots 0 and 1, both in use and unchanged, no windows.
    void create();
    // Claims the lowest free slot, or grows the table by one. Returns 0 when the table is full.
    int FindFreeSlot();
    // True when any slot from 1 to the upper bound is in use.
    bool AnyDocumentOpen() const;

    int upperBound() const { return static_cast<int>(DocumentStates.size()) - 1; }
    bool valid(int slot) const { return slot >= 1 && slot <= upperBound(); }

    std::vector<QPointer<Form1>> Documents;
    std::vector<DocumentState> DocumentStates;

private:
    int maxSlot_;
};
