#pragma once

namespace qm {

// A colour by its red, green and blue parts, each 0-255. The one colour type of the core:
// it names its channels, so no one has to remember which byte order a number holds.
struct Rgb {
    int red{};
    int green{};
    int blue{};
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace qm
