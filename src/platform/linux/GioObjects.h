#pragma once

#include <memory>

#include <gio/gio.h>

namespace qm {

// Owning pointers to GLib's objects, strings, lists of objects and errors.
struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPointer = std::unique_ptr<T, GObjectUnref>;

struct GFreeString {
    void operator()(gchar* text) const { g_free(text); }
};
using GOwnedString = std::unique_ptr<gchar, GFreeString>;

struct GObjectListFree {
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using GObjectList = std::unique_ptr<GList, GObjectListFree>;

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPointer = std::unique_ptr<GError, GErrorFree>;

} // namespace qm
