#pragma once
// A tiny tracker module made in code, for the module decoder and the preview window.

#include <QByteArray>

namespace mb::testing {

// A four-channel ProTracker module: one square-wave sample, one pattern whose first row sets
// the speed (ticks per row) and plays a note, and a pattern break after `rows` rows. At the
// default 125 BPM a tick lasts 882 frames at 44100 Hz, so the song lasts rows * speed * 882
// frames. The library renders up to a tenth of a second past the song's end (the last notes
// decay), so the PCM may be that much longer.
inline QByteArray protrackerModule(int rows, int speed)
{
    QByteArray mod(20, '\0');
    mod.replace(0, 4, "test");
    auto be16 = [&](int v) { mod.append(char(v >> 8)).append(char(v & 0xFF)); };
    const int sampleWords = 32;
    for (int s = 0; s < 31; ++s) {
        mod.append(QByteArray(22, '\0'));
        be16(s == 0 ? sampleWords : 0);
        mod.append(char(0));                 // finetune
        mod.append(char(s == 0 ? 64 : 0));   // volume
        be16(0);                             // loop start
        be16(s == 0 ? sampleWords : 1);      // loop length (1 = none)
    }
    mod.append(char(1));    // song length: one order
    mod.append(char(127));
    QByteArray orders(128, '\0');
    mod.append(orders);
    mod.append("M.K.");
    QByteArray pattern(64 * 4 * 4, '\0');
    auto cell = [&](int row, int channel, int sample, int period, int effect, int param) {
        char *c = pattern.data() + (row * 4 + channel) * 4;
        c[0] = char((sample & 0xF0) | (period >> 8));
        c[1] = char(period & 0xFF);
        c[2] = char(((sample & 0x0F) << 4) | effect);
        c[3] = char(param);
    };
    cell(0, 0, 1, 428, 0xF, speed);
    if (rows < 64)
        cell(rows - 1, 1, 0, 0, 0xD, 0);
    mod.append(pattern);
    for (int i = 0; i < sampleWords * 2; ++i)
        mod.append(char(i < sampleWords ? 100 : -100));
    return mod;
}

} // namespace mb::testing
