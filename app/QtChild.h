#pragma once
// Widgets and layouts made with a Qt parent belong to that parent, which deletes them with
// itself: the one place where such an object is made with a bare new.

#include <utility>

namespace patchferry {

template <typename T, typename... Args>
T* QtChild(Args&&... args) {
    return new T(std::forward<Args>(args)...);  // NOLINT(cppcoreguidelines-owning-memory)
}

}  // namespace patchferry
