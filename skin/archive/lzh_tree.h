// The adaptive Huffman model of the LZHUF format: 314 symbols (256 bytes and 58 match lengths)
// whose code tree is updated after every symbol, and the constant tables of the position code.
// Shared by the decoder and by the host packer, which must evolve the very same tree.
#pragma once

#include <cstdint>

namespace wl::lzh {

inline constexpr int N = 4096;         // ring buffer size
inline constexpr int F = 60;           // longest match
inline constexpr int THRESHOLD = 2;    // matches this short are sent as literals
inline constexpr int N_CHAR = 256 - THRESHOLD + F; // 314 symbols
inline constexpr int T = N_CHAR * 2 - 1; // 627 tree nodes
inline constexpr int R = T - 1;          // root
inline constexpr unsigned MAX_FREQ = 0x8000;
inline constexpr int RING_START = N - F; // 4036: first position written; those before are spaces

// For the first byte of a coded position: its upper 6 bits, and the length in bits of the code
// for those upper bits (3..8). The low 6 bits of the position follow the code as plain bits.
struct PositionTables {
    uint8_t code[256];
    uint8_t len[256];
    constexpr PositionTables() : code(), len() {
        // (run length, number of runs) per code length: 32 entries of length 3 for one value,
        // then 16 entries per value for length 4, 8 for 5, 4 for 6, 2 for 7 and 1 for 8.
        struct Group {
            int perValue, values, bits;
        };
        constexpr Group groups[] = {{32, 1, 3}, {16, 3, 4}, {8, 8, 5}, {4, 12, 6}, {2, 24, 7},
                                    {1, 16, 8}};
        int index = 0, value = 0;
        for (const Group& g : groups)
            for (int v = 0; v < g.values; ++v, ++value)
                for (int k = 0; k < g.perValue; ++k, ++index) {
                    code[index] = static_cast<uint8_t>(value);
                    len[index] = static_cast<uint8_t>(g.bits);
                }
    }
};
inline constexpr PositionTables kPosition{};

// The code tree. Nodes are kept in non-decreasing frequency order; the children of an internal
// node sit side by side at son[p] and son[p] + 1; a leaf's son is its symbol + T.
struct Tree {
    uint16_t freq[T + 1];
    uint16_t prnt[T + N_CHAR];
    uint16_t son[T];

    void Start() {
        for (int i = 0; i < N_CHAR; ++i) {
            freq[i] = 1;
            son[i] = static_cast<uint16_t>(i + T);
            prnt[i + T] = static_cast<uint16_t>(i);
        }
        for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
            freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<uint16_t>(i);
            prnt[i] = prnt[i + 1] = static_cast<uint16_t>(j);
        }
        freq[T] = 0xFFFF; // sentinel: stops the scans in Update
        prnt[R] = 0;
    }

    // Halves every leaf frequency and builds the internal nodes again in frequency order.
    void Rebuild() {
        int j = 0;
        for (int i = 0; i < T; ++i)
            if (son[i] >= T) {
                freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
                son[j] = son[i];
                ++j;
            }
        for (int i = 0, k = N_CHAR; k < T; i += 2, ++k) {
            unsigned f = freq[i] + freq[i + 1];
            int l = k - 1;
            while (freq[l] > f) --l;
            ++l;
            // Entries l .. k-1 move up one place, from the top down so nothing is overwritten.
            for (int m = k; m > l; --m) {
                freq[m] = freq[m - 1];
                son[m] = son[m - 1];
            }
            freq[l] = static_cast<uint16_t>(f);
            son[l] = static_cast<uint16_t>(i);
        }
        for (int k = 0; k < T; ++k) {
            unsigned s = son[k];
            if (s < T) prnt[s] = prnt[s + 1] = static_cast<uint16_t>(k);
            else prnt[s] = static_cast<uint16_t>(k);
        }
    }

    // Counts one occurrence of symbol s and restores the frequency order by swapping subtrees.
    void Update(int s) {
        if (freq[R] == MAX_FREQ) Rebuild();
        unsigned c = prnt[s + T];
        do {
            unsigned k = ++freq[c];
            if (k > freq[c + 1]) {
                unsigned l = c + 1;
                while (k > freq[l + 1]) ++l;
                freq[c] = freq[l];
                freq[l] = static_cast<uint16_t>(k);
                unsigned i = son[c];
                prnt[i] = static_cast<uint16_t>(l);
                if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
                unsigned j = son[l];
                son[l] = static_cast<uint16_t>(i);
                prnt[j] = static_cast<uint16_t>(c);
                if (j < T) prnt[j + 1] = static_cast<uint16_t>(c);
                son[c] = static_cast<uint16_t>(j);
                c = l;
            }
            c = prnt[c];
        } while (c != 0);
    }
};

} // namespace wl::lzh
