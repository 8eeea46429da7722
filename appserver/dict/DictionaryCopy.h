#pragma once
// The one-shot copy of every personal dictionary from one store into another (an SQLite file
// into a PostgreSQL database, when several engine servers start sharing one): words and owner
// key hashes, so that owners keep their keys. Running it again changes nothing; a dictionary
// whose owner differs in the target is left as it is and counted as refused.
#include <string>

class DictionaryStore;

class DictionaryCopy {
  public:
    struct Counts {
        size_t copied = 0;
        size_t refused = 0;
    };
    // Copies `from` into `to`; a refused dictionary is logged with its reason. Throws
    // std::runtime_error when a store fails.
    static Counts Run(DictionaryStore& from, DictionaryStore& to);
};
