#pragma once

#include "StreamObject.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lynkora {

// Classes that a reader may create by name for the child objects of a stream.
namespace ClassRegistry {

using Factory = std::function<std::unique_ptr<StreamObject>()>;

void Register(const std::string& className, Factory factory);
void Unregister(const std::string& className);
// A new instance, or nullptr when the name is not registered (compared ignoring case).
std::unique_ptr<StreamObject> Create(std::string_view className);

} // namespace ClassRegistry

} // namespace lynkora
