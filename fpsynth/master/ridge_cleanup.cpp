#include "master/ridge_cleanup.h"

#include <vector>

namespace fpsynth {

void RemoveSpecks(Grid<float>& ridges, const Grid<uint8_t>& region, int minimumArea)
{
    const int width = ridges.width;
    const size_t size = ridges.data.size();
    std::vector<uint8_t> seen(size, 0);
    std::vector<size_t> component;
    std::vector<size_t> stack;
    for (size_t start = 0; start < size; ++start) {
        if (seen[start] != 0 || region.data[start] == 0) {
            continue;
        }
        const bool ridge = ridges.data[start] > 0.0f;
        component.clear();
        stack.assign(1, start);
        seen[start] = 1;
        bool touchesOutside = false;
        while (!stack.empty()) {
            const size_t index = stack.back();
            stack.pop_back();
            component.push_back(index);
            const int x = static_cast<int>(index % static_cast<size_t>(width));
            const int y = static_cast<int>(index / static_cast<size_t>(width));
            // Ridges connect through corners, valleys only through sides, so that the two
            // never cross each other.
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx == 0 && dy == 0) || (!ridge && dx != 0 && dy != 0)) {
                        continue;
                    }
                    if (!ridges.Contains(x + dx, y + dy)) {
                        touchesOutside = true;
                        continue;
                    }
                    const size_t next =
                        static_cast<size_t>(y + dy) * static_cast<size_t>(width) + static_cast<size_t>(x + dx);
                    if ((ridges.data[next] > 0.0f) != ridge) {
                        continue;
                    }
                    if (region.data[next] == 0) {
                        touchesOutside = true;
                        continue;
                    }
                    if (seen[next] == 0) {
                        seen[next] = 1;
                        stack.push_back(next);
                    }
                }
            }
        }
        if (!touchesOutside && component.size() < static_cast<size_t>(minimumArea)) {
            for (const size_t index : component) {
                ridges.data[index] = -ridges.data[index] + (ridge ? -0.05f : 0.05f);
            }
        }
    }
}

}  // namespace fpsynth
