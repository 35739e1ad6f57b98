// Message tables: each dialog class lists the commands and messages it
// handles and the member that handles each. A message that a class's table
// does not list falls back to the table of its base class.
#pragma once

#include <cstdint>
#include <span>

#include "framework/dialog_host.h"

namespace qv {

class CDialog;

enum class MessageKind { Command, SysCommand, Private, Paint, QueryDragIcon };

struct MessageArgs {
  unsigned id = 0;  // command id, system command or private message number
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

struct MessageResult {
  IconHandle icon;  // the answer to the query for the drag icon
};

struct MessageEntry {
  MessageKind kind;
  unsigned id;  // command id or private message; unused for the other kinds
  void (*invoke)(CDialog& dialog, const MessageArgs& args, MessageResult& result);
};

struct MessageTable {
  const MessageTable* base;
  std::span<const MessageEntry> entries;
};

namespace detail {

template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using type = C;
};

template <auto Handler>
using HandlerClass = typename MemberOf<decltype(Handler)>::type;

}  // namespace detail

// Entries, written in a class's table as msg::Command<&CMyDlg::OnApply>(1022).
namespace msg {

template <auto Handler>
constexpr MessageEntry Command(unsigned id) {
  return {MessageKind::Command, id, [](CDialog& d, const MessageArgs&, MessageResult&) {
            (static_cast<detail::HandlerClass<Handler>&>(d).*Handler)();
          }};
}

// The handler gets the system command; it calls Default() for the commands
// that the platform should carry out itself.
template <auto Handler>
constexpr MessageEntry SysCommand() {
  return {MessageKind::SysCommand, 0, [](CDialog& d, const MessageArgs& a, MessageResult&) {
            (static_cast<detail::HandlerClass<Handler>&>(d).*Handler)(a.id);
          }};
}

template <auto Handler>
constexpr MessageEntry PrivateMessage(unsigned message) {
  return {MessageKind::Private, message, [](CDialog& d, const MessageArgs&, MessageResult&) {
            (static_cast<detail::HandlerClass<Handler>&>(d).*Handler)();
          }};
}

template <auto Handler>
constexpr MessageEntry Paint() {
  return {MessageKind::Paint, 0, [](CDialog& d, const MessageArgs&, MessageResult&) {
            (static_cast<detail::HandlerClass<Handler>&>(d).*Handler)();
          }};
}

template <auto Handler>
constexpr MessageEntry QueryDragIcon() {
  return {MessageKind::QueryDragIcon, 0, [](CDialog& d, const MessageArgs&, MessageResult& r) {
            r.icon = (static_cast<detail::HandlerClass<Handler>&>(d).*Handler)();
          }};
}

}  // namespace msg
}  // namespace qv
