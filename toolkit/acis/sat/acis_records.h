// The record words of a SAT text and the entity each makes: the topology records, the
// geometry records and the attributes, in that order of lookup.
#pragma once

#include <memory>
#include <string_view>

#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

// A new entity for the record word, or null when no reader knows the word. Any word ending in
// "attrib" that names no attribute class of its own makes an attribute that is read past.
std::unique_ptr<acis_Entity> acisMakeEntity(std::string_view word);

} // namespace tracemill
