#include "minutiae/skeleton.h"

#include <vector>

namespace fpsynth {
namespace {

// The eight neighbours clockwise from north: N, NE, E, SE, S, SW, W, NW.
constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

void Neighbours(const Grid<uint8_t>& grid, int x, int y, int (&n)[8])
{
    for (int k = 0; k < 8; ++k) {
        const int nx = x + kDx[k];
        const int ny = y + kDy[k];
        n[k] = grid.Contains(nx, ny) && grid.at(nx, ny) != 0 ? 1 : 0;
    }
}

// One sub-iteration of the Guo-Hall thinning; true when a pixel was removed.
bool GuoHallPass(Grid<uint8_t>& grid, int pass, std::vector<size_t>& removal)
{
    removal.clear();
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            if (grid.at(x, y) == 0) {
                continue;
            }
            int n[8];
            Neighbours(grid, x, y, n);
            const int p2 = n[0], p3 = n[1], p4 = n[2], p5 = n[3], p6 = n[4], p7 = n[5], p8 = n[6], p9 = n[7];
            const int c =
                ((1 - p2) & (p3 | p4)) + ((1 - p4) & (p5 | p6)) + ((1 - p6) & (p7 | p8)) + ((1 - p8) & (p9 | p2));
            const int n1 = (p9 | p2) + (p3 | p4) + (p5 | p6) + (p7 | p8);
            const int n2 = (p2 | p3) + (p4 | p5) + (p6 | p7) + (p8 | p9);
            const int count = n1 < n2 ? n1 : n2;
            const int m = pass == 0 ? ((p6 | p7 | (1 - p9)) & p8) : ((p2 | p3 | (1 - p5)) & p4);
            if (c == 1 && count >= 2 && count <= 3 && m == 0) {
                removal.push_back(static_cast<size_t>(y) * static_cast<size_t>(grid.width) + static_cast<size_t>(x));
            }
        }
    }
    for (const size_t index : removal) {
        grid.data[index] = 0;
    }
    return !removal.empty();
}

// Yokoi's 8-connectivity number: 1 when removing the pixel keeps the skeleton's topology.
int ConnectivityNumber(const int (&n)[8])
{
    // Yokoi counts on the complement, with 4-neighbours at even positions here.
    int sum = 0;
    for (int k = 0; k < 8; k += 2) {
        const int a = 1 - n[k];
        const int b = 1 - n[(k + 1) % 8];
        const int c = 1 - n[(k + 2) % 8];
        sum += a - a * b * c;
    }
    return sum;
}

// Removes the inner pixel of L-shaped corners (two 4-neighbours that touch each other
// diagonally), which would otherwise read as forks.
void RemoveCorners(Grid<uint8_t>& grid)
{
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            if (grid.at(x, y) == 0) {
                continue;
            }
            int n[8];
            Neighbours(grid, x, y, n);
            const bool corner = (n[0] && n[2]) || (n[2] && n[4]) || (n[4] && n[6]) || (n[6] && n[0]);
            if (corner && ConnectivityNumber(n) == 1) {
                int count = 0;
                for (const int v : n) {
                    count += v;
                }
                if (count >= 2) {
                    grid.at(x, y) = 0;
                }
            }
        }
    }
}

}  // namespace

void ThinRidges(Grid<uint8_t>& binary)
{
    std::vector<size_t> removal;
    for (;;) {
        const bool first = GuoHallPass(binary, 0, removal);
        const bool second = GuoHallPass(binary, 1, removal);
        if (!first && !second) {
            break;
        }
    }
    RemoveCorners(binary);
}

int CrossingNumber(const Grid<uint8_t>& skeleton, int x, int y)
{
    int n[8];
    Neighbours(skeleton, x, y, n);
    int changes = 0;
    for (int k = 0; k < 8; ++k) {
        changes += n[k] != n[(k + 1) % 8] ? 1 : 0;
    }
    return changes / 2;
}

}  // namespace fpsynth
