#include "dict/DictionaryCopy.h"

#include "core/EngineError.h"
#include "core/Log.h"
#include "dict/DictionaryStore.h"

DictionaryCopy::Counts DictionaryCopy::Run(DictionaryStore& from, DictionaryStore& to) {
    Counts counts;
    for (const std::string& name : from.Names()) {
        try {
            to.Put(from.Get(name));
            ++counts.copied;
        } catch (const EngineError& e) {
            Log::Warning("dictionary \"" + name + "\" not copied: " + e.what());
            ++counts.refused;
        }
    }
    return counts;
}
