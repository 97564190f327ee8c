#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// One seeded mutation of a file's bytes, the same for the same seed: flipped bits, overwritten
// runs, copied blocks, a cut or a grown tail, a few at a time, as damage and hostile edits do.
inline QByteArray mutateWorkbook(const QByteArray &original, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b = original;
    const int steps = 1 + int(rng.bounded(4));
    for (int i = 0; i < steps && !b.isEmpty(); ++i) {
        const int at = int(rng.bounded(b.size()));
        switch (rng.bounded(6)) {
        case 0: // one flipped bit
            b[at] = char(b[at] ^ (1 << rng.bounded(8)));
            break;
        case 1: // a run of random bytes
            for (int k = 0, n = 1 + int(rng.bounded(16)); k < n && at + k < b.size(); ++k)
                b[at + k] = char(rng.bounded(256));
            break;
        case 2: { // a boundary value where sizes and counts live
            static const quint8 edge[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
            b[at] = char(edge[rng.bounded(6)]);
            break;
        }
        case 3: { // a block copied elsewhere
            const int from = int(rng.bounded(b.size()));
            const int n = int(qMin<qint64>(1 + rng.bounded(512), b.size() - qMax(at, from)));
            if (n > 0)
                b.replace(at, n, b.mid(from, n));
            break;
        }
        case 4: // cut short
            b.truncate(at);
            break;
        default: // grown by a repeat of itself
            b.append(b.mid(at, int(rng.bounded(4096))));
            break;
        }
    }
    return b;
}
