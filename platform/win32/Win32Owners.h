#pragma once

// clang-format off
#include <windows.h>
#include <lmcons.h>
#include <lmapibuf.h>
#include <oleauto.h>
// clang-format on

#include <memory>
#include <type_traits>

namespace rerevure::platform {

// The owner of each kind of resource the program takes from Windows and must
// give back: a std::unique_ptr whose deleter is that kind's own free, so that
// no free is written anywhere else. The other owners: OwnedHandle
// (Win32OwnedHandle.h) for kernel handles, which Windows spells "none" in
// two ways; WRL's ComPtr, Variant and ExcepInfo (Win32Com.h) for COM. The
// toolchain offers nothing for these kinds: mingw-w64's WRL wrappers hold
// no handles, and _bstr_t needs an import library of its own.
//
// Every free's result is ignored: each fails only for a resource already
// gone, and nothing read or written through it is lost.
template <auto Free>
struct FreeWith {
  template <class Resource>
  void operator()(Resource* resource) const noexcept {
    Free(resource);
  }
};

template <class Handle, auto Free>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, FreeWith<Free>>;

// An opened registry key (not a predefined one such as HKEY_CURRENT_USER).
using OwnedRegistryKey = Owned<HKEY, RegCloseKey>;
// A font made for a window's controls (released after the windows that use it).
using OwnedFont = Owned<HFONT, DeleteObject>;
// An icon loaded from a file or resource without LR_SHARED.
using OwnedIcon = Owned<HICON, DestroyIcon>;
// A menu that no window holds (a pop-up menu).
using OwnedMenu = Owned<HMENU, DestroyMenu>;
// A window that no other window owns and that is not a Win32Window, which
// owns its own (the form's tooltip). Destroyed on the thread that made it.
using OwnedWindow = Owned<HWND, DestroyWindow>;
// A string the system allocated for the caller with SysAllocString.
using OwnedBstr = Owned<BSTR, SysFreeString>;
// A buffer the system allocated for the caller with LocalAlloc
// (FormatMessage, ConvertSidToStringSid, CommandLineToArgvW).
template <class Element>
using LocalMemory = std::unique_ptr<Element, FreeWith<LocalFree>>;
// A buffer the system allocated for the caller with GlobalAlloc (WinINet's
// answers to a per-connection query).
template <class Element>
using GlobalMemory = std::unique_ptr<Element, FreeWith<GlobalFree>>;
// A buffer the network management functions allocated for the caller
// (NetGetJoinInformation).
template <class Element>
using NetApiMemory = std::unique_ptr<Element, FreeWith<NetApiBufferFree>>;
// A file search (FindFirstFileW), closed by FindClose rather than CloseHandle.
using OwnedFind = Owned<HANDLE, FindClose>;
// A handle to an event log for reporting (RegisterEventSourceW).
using OwnedEventSource = Owned<HANDLE, DeregisterEventSource>;
// A view of a file mapping; the mapping itself is an OwnedHandle.
using OwnedView = std::unique_ptr<void, FreeWith<UnmapViewOfFile>>;

// The screen's device context, which GetDC(nullptr) lends.
struct ScreenDcRelease {
  void operator()(HDC dc) const noexcept { ReleaseDC(nullptr, dc); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcRelease>;

}  // namespace rerevure::platform
