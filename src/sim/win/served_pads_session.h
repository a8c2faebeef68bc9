#pragma once
// What the objects served for one ServedPads share: the program, one kind (a table of
// members) for each sort of object, and the Application and active Document objects,
// which stay the same objects. Every other object is made per call and holds the
// program's object it stands for and a weak reference to the session: once the session
// has gone, its calls fail cleanly instead of reaching a program that may be gone too.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/pads.h"
#include "platform/win/dispatch_object.h"
#include "sim/win/served_calls.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/variant.h"

namespace sim::win::served {

namespace pads = platform::pads;
using platform::win::Automation;
using platform::win::ComRef;
using platform::win::DispatchCall;
using platform::win::DispatchObject;
using Kind = ComRef<DispatchObject>;
using Handler = DispatchObject::Handler;

class Session;

// The data of a served object: the program's object it stands for.
template <class T>
struct Held {
  std::weak_ptr<Session> session;
  T* object;
};

// An object that is a name and nothing more (a pin in a part's Pins, a jumper's Net).
struct Named {
  std::weak_ptr<Session> session;
  std::string name;
};

// A collection: Count, and Item(k) from 1 (none when item is empty: a collection that
// only counts, as Vias and Layers).
struct List {
  std::weak_ptr<Session> session;
  std::function<long()> count;
  std::function<Automation(Session&, long)> item;
};

// Layers(key): a layer of the design by number or by name, looked up when it is used.
struct LayerKey {
  std::weak_ptr<Session> session;
  pads::Design* design;
  vb::Variant key;
};

struct Kinds {
  Kind application, document, view, router, layer, list;
  Kind part, attributes, attribute, gate, gateSheet, label, jumper, named, net, pin, pinSheet, decal;
};

// The kinds, each made once per session (served_pads_document.cpp, served_pads_parts.cpp).
Kind applicationKind();
Kind documentKind();
Kind viewKind();
Kind routerKind();
Kind layerKind();
Kind listKind();
Kind partKind();
Kind attributesKind();
Kind attributeKind();
Kind gateKind();
Kind labelKind();
Kind jumperKind();
Kind namedKind();
Kind netKind();
Kind pinKind();
Kind decalKind();
Kind gateSheetKind();
Kind pinSheetKind();

class Session : public std::enable_shared_from_this<Session> {
 public:
  explicit Session(std::shared_ptr<pads::Application> program);

  // The Application object, made at the first call.
  Automation application();
  // The Document object of the design; the same object while the design stays active.
  Automation document(pads::Design& design);

  // An object of the kind standing for object; Nothing for no object.
  template <class T>
  Automation serve(Kind Kinds::*kind, T* object) {
    if (!object) return Automation();
    return make(kinds_.*kind, std::make_shared<Held<T>>(Held<T>{weak_from_this(), object}));
  }
  Automation named(std::string name);
  Automation layer(pads::Design& design, vb::Variant key);
  Automation list(std::function<long()> count, std::function<Automation(Session&, long)> item = {});
  // A collection over the objects (one list: Item(k) does not ask the program again).
  template <class T>
  Automation listOf(Kind Kinds::*kind, std::vector<T*> objects) {
    auto all = std::make_shared<const std::vector<T*>>(std::move(objects));
    return list([all] { return static_cast<long>(all->size()); },
                [all, kind](Session& s, long k) { return s.serve(kind, itemAt(*all, k)); });
  }

  // Item k (from 1) of a list; error 9 outside it.
  template <class T>
  static const T& itemAt(const std::vector<T>& items, long k) {
    if (k < 1 || static_cast<size_t>(k) > items.size()) vb::raise(vb::kSubscript);
    return items[static_cast<size_t>(k - 1)];
  }

 private:
  static Automation make(const Kind& kind, std::shared_ptr<void> data);

  std::shared_ptr<pads::Application> program_;
  Kinds kinds_;
  Automation application_;
  Automation document_;
  pads::Design* documentDesign_ = nullptr;
};

// A collection's Item(k) from a list the program gives at the first Item:
// serveItem(session, item) makes the object of one item.
template <class Fetch, class ServeItem>
std::function<Automation(Session&, long)> itemsFetchedOnce(Fetch fetch, ServeItem serveItem) {
  auto fetched = std::make_shared<std::optional<std::invoke_result_t<Fetch&>>>();
  return [fetch, serveItem, fetched](Session& s, long k) {
    if (!*fetched) *fetched = fetch();
    return serveItem(s, Session::itemAt(**fetched, k));
  };
}

// --- Handlers ---------------------------------------------------------------------------

inline std::string textArg(const DispatchCall& c, size_t index) { return vb::toText(c.arg(index)); }

// A value as the argument a member of the PADS interface takes.
template <class P>
P as(const vb::Variant& v) {
  if constexpr (std::is_same_v<P, bool>)
    return truthOf(v);
  else if constexpr (std::is_same_v<P, std::string>)
    return vb::toText(v);
  else if constexpr (std::is_floating_point_v<P>)
    return vb::toDouble(v);
  else
    return static_cast<P>(vb::toLong(v));
}

// A handler's answer: nothing, a value, or an object.
template <class F, class... A>
vb::Variant answer(DispatchCall& c, F& f, A&&... args) {
  using R = std::invoke_result_t<F&, A...>;
  if constexpr (std::is_void_v<R>) {
    f(std::forward<A>(args)...);
    return vb::Variant();
  } else if constexpr (std::is_same_v<R, Automation>) {
    c.returnObject(f(std::forward<A>(args)...));
    return vb::Variant();
  } else {
    return vb::Variant(f(std::forward<A>(args)...));
  }
}

// A handler over the object's data D, run while its session is served: f(session, data, call).
template <class D, class F>
Handler withData(F f) {
  return [f](DispatchCall& c) -> vb::Variant {
    D& data = c.data<D>();
    std::shared_ptr<Session> session = data.session.lock();
    if (!session) raiseDisconnected();
    return answer(c, f, *session, data, c);
  };
}

// A handler over the program's object T the served object stands for: f(session, object, call).
template <class T, class F>
Handler on(F f) {
  return withData<Held<T>>([f](Session& s, Held<T>& h, DispatchCall& c) {
    return answer(c, f, s, *h.object, c);
  });
}

// A property read by one call of a const member: reads<pads::Part>(&pads::Part::partType).
template <class T, class R>
Handler reads(R (std::remove_const_t<T>::*member)() const) {
  return on<T>([member](Session&, T& o, DispatchCall&) { return (o.*member)(); });
}

// A property put by one call of a member taking the value: writes<pads::Part>(&pads::Part::rename).
template <class T, class P>
Handler writes(void (T::*member)(P)) {
  return on<T>([member](Session&, T& o, DispatchCall& c) { (o.*member)(as<std::decay_t<P>>(c.value())); });
}

// A method run by one call of a member with the call's positional arguments.
template <class T, class... P>
Handler calls(void (T::*member)(P...)) {
  return on<T>([member](Session&, T& o, DispatchCall& c) {
    [&]<size_t... I>(std::index_sequence<I...>) {
      (o.*member)(as<std::decay_t<P>>(c.arg(I))...);
    }(std::index_sequence_for<P...>{});
  });
}

}  // namespace sim::win::served
