// A plain row-major 2-D array, the working form of every map and image inside the library.
#pragma once

#include <cstddef>
#include <vector>

namespace fpsynth {

template <class T>
struct Grid {
    int width = 0;
    int height = 0;
    std::vector<T> data;

    Grid() = default;
    Grid(int w, int h, T fill = T{}) : width(w), height(h), data(static_cast<size_t>(w) * static_cast<size_t>(h), fill)
    {
    }

    T& at(int x, int y) { return data[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
    const T& at(int x, int y) const
    {
        return data[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Bilinear sample of a float grid at (x, y) in pixel-centre coordinates, clamped at the edges.
template <class T>
double SampleBilinear(const Grid<T>& grid, double x, double y)
{
    const double maxX = grid.width - 1;
    const double maxY = grid.height - 1;
    x = x < 0.0 ? 0.0 : (x > maxX ? maxX : x);
    y = y < 0.0 ? 0.0 : (y > maxY ? maxY : y);
    int x0 = static_cast<int>(x);
    int y0 = static_cast<int>(y);
    if (x0 >= grid.width - 1) {
        x0 = grid.width > 1 ? grid.width - 2 : 0;
    }
    if (y0 >= grid.height - 1) {
        y0 = grid.height > 1 ? grid.height - 2 : 0;
    }
    const int x1 = grid.width > 1 ? x0 + 1 : x0;
    const int y1 = grid.height > 1 ? y0 + 1 : y0;
    const double fx = x - x0;
    const double fy = y - y0;
    const double top = grid.at(x0, y0) + (grid.at(x1, y0) - static_cast<double>(grid.at(x0, y0))) * fx;
    const double bottom = grid.at(x0, y1) + (grid.at(x1, y1) - static_cast<double>(grid.at(x0, y1))) * fx;
    return top + (bottom - top) * fy;
}

}  // namespace fpsynth
