// Literal byte-at-a-time LZHUF decoder (see lzh_reference.h).
#include "lzh_reference.h"

namespace wl::bench {
namespace {

constexpr int N = 4096, F = 60, THRESHOLD = 2, N_CHAR = 256 - THRESHOLD + F, T = N_CHAR * 2 - 1,
              R = T - 1;
constexpr unsigned MAX_FREQ = 0x8000;

struct State {
    const ReferenceLzh::ReadFn* read;
    uint16_t getbuf = 0;
    uint8_t getlen = 0;
    uint8_t* text_buf;
    uint16_t* freq;
    uint16_t* prnt;
    uint16_t* son;
    uint8_t d_code[256];
    uint8_t d_len[256];

    int ReadByte() {
        uint8_t b = 0;
        if ((*read)(&b, 1) != 1) return 0;
        return b;
    }
    int GetBit() {
        while (getlen <= 8) {
            unsigned i = static_cast<unsigned>(ReadByte());
            getbuf = static_cast<uint16_t>(getbuf | (i << (8 - getlen)));
            getlen = static_cast<uint8_t>(getlen + 8);
        }
        unsigned i = getbuf;
        getbuf = static_cast<uint16_t>(getbuf << 1);
        getlen--;
        return (i >> 15) & 1;
    }
    int GetByte() {
        while (getlen <= 8) {
            unsigned i = static_cast<unsigned>(ReadByte());
            getbuf = static_cast<uint16_t>(getbuf | (i << (8 - getlen)));
            getlen = static_cast<uint8_t>(getlen + 8);
        }
        unsigned i = getbuf;
        getbuf = static_cast<uint16_t>(getbuf << 8);
        getlen = static_cast<uint8_t>(getlen - 8);
        return static_cast<int>(i >> 8);
    }
    void StartHuff() {
        int i, j;
        for (i = 0; i < N_CHAR; i++) {
            freq[i] = 1;
            son[i] = static_cast<uint16_t>(i + T);
            prnt[i + T] = static_cast<uint16_t>(i);
        }
        i = 0;
        j = N_CHAR;
        while (j <= R) {
            freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<uint16_t>(i);
            prnt[i] = prnt[i + 1] = static_cast<uint16_t>(j);
            i += 2;
            j++;
        }
        freq[T] = 0xFFFF;
        prnt[R] = 0;
    }
    void reconst() {
        int i, j, k;
        unsigned f, l;
        j = 0;
        for (i = 0; i < T; i++) {
            if (son[i] >= T) {
                freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
                son[j] = son[i];
                j++;
            }
        }
        for (i = 0, j = N_CHAR; j < T; i += 2, j++) {
            k = i + 1;
            f = freq[j] = static_cast<uint16_t>(freq[i] + freq[k]);
            for (k = j - 1; f < freq[k]; k--) {
            }
            k++;
            for (l = static_cast<unsigned>(j); l > static_cast<unsigned>(k); l--) {
                freq[l] = freq[l - 1];
            }
            freq[k] = static_cast<uint16_t>(f);
            for (l = static_cast<unsigned>(j); l > static_cast<unsigned>(k); l--) {
                son[l] = son[l - 1];
            }
            son[k] = static_cast<uint16_t>(i);
        }
        for (i = 0; i < T; i++) {
            if ((k = son[i]) >= T) prnt[k] = static_cast<uint16_t>(i);
            else prnt[k] = prnt[k + 1] = static_cast<uint16_t>(i);
        }
    }
    void update(int c) {
        int i, j, k, l;
        if (freq[R] == MAX_FREQ) reconst();
        c = prnt[c + T];
        do {
            k = ++freq[c];
            if (k > freq[l = c + 1]) {
                while (k > freq[++l]) {
                }
                l--;
                freq[c] = freq[l];
                freq[l] = static_cast<uint16_t>(k);
                i = son[c];
                prnt[i] = static_cast<uint16_t>(l);
                if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
                j = son[l];
                son[l] = static_cast<uint16_t>(i);
                prnt[j] = static_cast<uint16_t>(c);
                if (j < T) prnt[j + 1] = static_cast<uint16_t>(c);
                son[c] = static_cast<uint16_t>(j);
                c = l;
            }
        } while ((c = prnt[c]) != 0);
    }
    int DecodeChar() {
        unsigned c = son[R];
        while (c < T) {
            c += static_cast<unsigned>(GetBit());
            c = son[c];
        }
        c -= T;
        update(static_cast<int>(c));
        return static_cast<int>(c);
    }
    int DecodePosition() {
        unsigned i = static_cast<unsigned>(GetByte());
        unsigned c = static_cast<unsigned>(d_code[i]) << 6;
        unsigned j = d_len[i];
        j -= 2;
        while (j--) i = (i << 1) + static_cast<unsigned>(GetBit());
        return static_cast<int>(c | (i & 0x3f));
    }
    void MakeTables() {
        int index = 0;
        auto fill = [&](int perValue, int first, int last, int bits) {
            for (int v = first; v <= last; v++)
                for (int k = 0; k < perValue; k++, index++) {
                    d_code[index] = static_cast<uint8_t>(v);
                    d_len[index] = static_cast<uint8_t>(bits);
                }
        };
        fill(32, 0x00, 0x00, 3);
        fill(16, 0x01, 0x03, 4);
        fill(8, 0x04, 0x0B, 5);
        fill(4, 0x0C, 0x17, 6);
        fill(2, 0x18, 0x2F, 7);
        fill(1, 0x30, 0x3F, 8);
    }
};

} // namespace

void ReferenceLzh::Unpack(int32_t size, const WriteFn& write, const ReadFn& read) {
    State s;
    s.read = &read;
    s.MakeTables();
    s.text_buf = new uint8_t[N + F - 1];
    s.freq = new uint16_t[T + 1];
    s.prnt = new uint16_t[T + N_CHAR];
    s.son = new uint16_t[T];
    try {
        if (size > 0) {
            s.StartHuff();
            for (int i = 0; i < N - F; i++) s.text_buf[i] = ' ';
            int r = N - F;
            int32_t count = 0;
            while (count < size) {
                int c = s.DecodeChar();
                if (c < 256) {
                    uint8_t b = static_cast<uint8_t>(c);
                    write(&b, 1);
                    s.text_buf[r++] = b;
                    r &= (N - 1);
                    count++;
                } else {
                    int i = (r - s.DecodePosition() - 1) & (N - 1);
                    int j = c - 255 + THRESHOLD;
                    for (int k = 0; k < j; k++) {
                        uint8_t b = s.text_buf[(i + k) & (N - 1)];
                        write(&b, 1);
                        s.text_buf[r++] = b;
                        r &= (N - 1);
                        count++;
                    }
                }
            }
        }
    } catch (...) {
        delete[] s.text_buf;
        delete[] s.freq;
        delete[] s.prnt;
        delete[] s.son;
        throw;
    }
    delete[] s.text_buf;
    delete[] s.freq;
    delete[] s.prnt;
    delete[] s.son;
}

} // namespace wl::bench
