// Helpers for declaring published properties (see TPropertyList) and for converting stored
// values in DefineProperties. A value of the wrong kind raises EInvalidOperation, which the
// reader reports as a description error at the value's line.
//
//   const TPropertyList& TThing::PublishedProperties() const { return ClassProperties(); }
//   const TPropertyList& TThing::ClassProperties() {          // static
//       static const TPropertyList list = [] {
//           TPropertyList l(&TComponent::ClassProperties());  // the base class's list
//           l.Add(IntegerProperty(u"Count", &TThing::Count, &TThing::SetCount));
//           return l;
//       }();
//       return list;
//   }
#pragma once

#include "toolkit/Classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace toolkit {

// An identifier and the value it stands for (enumerations, sets, named constants).
using TIdentMap = std::vector<std::pair<std::u16string, int>>;

// ---- Values ------------------------------------------------------------------------------
int IntegerOf(const stored::Value& value);
bool BooleanOf(const stored::Value& value);
std::u16string StringOf(const stored::Value& value);
std::u16string ResourceOf(const stored::Value& value);
std::u16string IdentifierOf(const stored::Value& value);
// An identifier of the map, or an integer when `allowInteger`.
int EnumOf(const stored::Value& value, const TIdentMap& names, bool allowInteger = false);
unsigned SetOf(const stored::Value& value, const TIdentMap& names);

stored::Value IntegerValue(int value);
stored::Value BooleanValue(bool value);
stored::Value StringValue(const std::u16string& value);
stored::Value ResourceValue(const std::u16string& resourceName);
stored::Value IdentifierValue(const std::u16string& identifier);
// The identifier for `value`, or an integer when the map has none.
stored::Value EnumValue(int value, const TIdentMap& names);
stored::Value SetValue(unsigned value, const TIdentMap& names);

// Colour names (clWhite, clWindowText, ...) and character set names (ANSI_CHARSET, ...).
const TIdentMap& ColorNames();
const TIdentMap& CharsetNames();

// ---- Property makers from plain functions --------------------------------------------------
TPropertyInfo MakeProperty(std::u16string name,
                           std::function<void(TComponent&, const stored::Value&)> read,
                           std::function<stored::Value(const TComponent&)> write);
TPropertyInfo MakeIntegerProperty(std::u16string name, std::function<int(const TComponent&)> get,
                                  std::function<void(TComponent&, int)> set);
TPropertyInfo MakeBooleanProperty(std::u16string name, std::function<bool(const TComponent&)> get,
                                  std::function<void(TComponent&, bool)> set);
TPropertyInfo MakeStringProperty(std::u16string name,
                                 std::function<std::u16string(const TComponent&)> get,
                                 std::function<void(TComponent&, const std::u16string&)> set);
TPropertyInfo MakeResourceProperty(std::u16string name,
                                   std::function<std::u16string(const TComponent&)> get,
                                   std::function<void(TComponent&, const std::u16string&)> set);
// An identifier of `names` (and an integer when `allowInteger`).
TPropertyInfo MakeEnumProperty(std::u16string name, TIdentMap names, bool allowInteger,
                               std::function<int(const TComponent&)> get,
                               std::function<void(TComponent&, int)> set);
TPropertyInfo MakeSetProperty(std::u16string name, TIdentMap names,
                              std::function<unsigned(const TComponent&)> get,
                              std::function<void(TComponent&, unsigned)> set);
// The untyped half of EventProperty: `bind` binds the root's method of that name and says
// whether there is one.
TPropertyInfo MakeEventProperty(
    std::u16string name, std::function<const std::u16string&(const TComponent&)> methodName,
    std::function<bool(TComponent&, TReader&, const std::u16string&)> bind);

// ---- The same from member functions ----------------------------------------------------------
template <class C> const C& As(const TComponent& component) {
    return dynamic_cast<const C&>(component);
}
template <class C> C& As(TComponent& component) {
    return dynamic_cast<C&>(component);
}

template <class C, class G, class S>
TPropertyInfo IntegerProperty(std::u16string name, G (C::*get)() const, void (C::*set)(S)) {
    return MakeIntegerProperty(
        std::move(name), [get](const TComponent& c) { return static_cast<int>((As<C>(c).*get)()); },
        [set](TComponent& c, int v) { (As<C>(c).*set)(v); });
}

template <class C>
TPropertyInfo BooleanProperty(std::u16string name, bool (C::*get)() const, void (C::*set)(bool)) {
    return MakeBooleanProperty(
        std::move(name), [get](const TComponent& c) { return (As<C>(c).*get)(); },
        [set](TComponent& c, bool v) { (As<C>(c).*set)(v); });
}

template <class C, class G>
TPropertyInfo StringProperty(std::u16string name, G (C::*get)() const,
                             void (C::*set)(const std::u16string&)) {
    return MakeStringProperty(
        std::move(name), [get](const TComponent& c) { return std::u16string((As<C>(c).*get)()); },
        [set](TComponent& c, const std::u16string& v) { (As<C>(c).*set)(v); });
}

template <class C, class G>
TPropertyInfo ResourceProperty(std::u16string name, G (C::*get)() const,
                               void (C::*set)(const std::u16string&)) {
    return MakeResourceProperty(
        std::move(name), [get](const TComponent& c) { return std::u16string((As<C>(c).*get)()); },
        [set](TComponent& c, const std::u16string& v) { (As<C>(c).*set)(v); });
}

template <class C, class E>
TPropertyInfo EnumProperty(std::u16string name, TIdentMap names, E (C::*get)() const,
                           void (C::*set)(E)) {
    return MakeEnumProperty(
        std::move(name), std::move(names), false,
        [get](const TComponent& c) { return static_cast<int>((As<C>(c).*get)()); },
        [set](TComponent& c, int v) { (As<C>(c).*set)(static_cast<E>(v)); });
}

template <class C, class E>
TPropertyInfo SetProperty(std::u16string name, TIdentMap names, E (C::*get)() const,
                          void (C::*set)(E)) {
    return MakeSetProperty(
        std::move(name), std::move(names),
        [get](const TComponent& c) { return static_cast<unsigned>((As<C>(c).*get)()); },
        [set](TComponent& c, unsigned v) { (As<C>(c).*set)(static_cast<E>(v)); });
}

// An event, bound by the name of one of the root's published methods of its signature and
// written back by that name.
template <class C, class E>
TPropertyInfo EventProperty(std::u16string name, const E& (C::*get)() const, void (C::*set)(E)) {
    return MakeEventProperty(
        std::move(name),
        [get](const TComponent& c) -> const std::u16string& { return (As<C>(c).*get)().MethodName(); },
        [set](TComponent& c, TReader& reader, const std::u16string& method) {
            E event = reader.Root().template MethodAddressOf<E>(method);
            if (!event) {
                return false;
            }
            (As<C>(c).*set)(std::move(event));
            return true;
        });
}

// Only written when `isStored` says so.
inline TPropertyInfo StoredWhen(TPropertyInfo info,
                                std::function<bool(const TComponent&)> isStored) {
    info.stored = std::move(isStored);
    return info;
}
// Accepted by the reader, never written (an alternative spelling of a stored property).
inline TPropertyInfo ReadOnly(TPropertyInfo info) {
    info.write = nullptr;
    return info;
}

} // namespace toolkit
