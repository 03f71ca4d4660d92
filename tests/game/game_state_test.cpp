// The list of a state's fields (game/game_state.h) names every field of the
// game record and of its text screen: a field added to either and left out of
// the list fails here, as it would load a different game.
#include "game/game_state.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <utility>

namespace rallix {
namespace {

// Converts to a field of any type, to count an aggregate's fields: a brace
// list of N of them initialises the type only when it has N fields or more.
struct AnyField {
  template <typename T>
  operator T() const;  // never called
};

template <typename T, size_t... I>
constexpr auto Initialises(std::index_sequence<I...>)
    -> decltype(T{(void(I), AnyField{})...}, true) {
  return true;
}
template <typename T>
constexpr bool Initialises(...) {
  return false;
}
template <typename T, size_t N = 0>
constexpr size_t FieldCount() {
  if constexpr (Initialises<T>(std::make_index_sequence<N + 1>()))
    return FieldCount<T, N + 1>();
  else
    return N;
}

// Takes down where each field the list names lies in the record.
struct Places {
  const GameRecord& record;
  std::set<const void*> fields;

  void Add(const void* field) {
    const auto* at = static_cast<const char*>(field);
    const auto* begin = reinterpret_cast<const char*>(&record);
    EXPECT_TRUE(at >= begin && at < begin + sizeof record);
    EXPECT_TRUE(fields.insert(field).second);
  }
  // Each kind of field alike.
#define RALLIX_PLACE(Kind)                            \
  template <typename T, typename... Rest>             \
  void Kind(const char*, const T& field, Rest&&...) { \
    Add(&field);                                      \
  }
  RALLIX_PLACE(Number)
  RALLIX_PLACE(Flag)
  RALLIX_PLACE(Real)
  RALLIX_PLACE(Random)
  RALLIX_PLACE(Grid)
  RALLIX_PLACE(Queue)
  RALLIX_PLACE(Count)
  RALLIX_PLACE(Constant)
#undef RALLIX_PLACE
};

TEST(GameStateFields, NameEveryFieldOfTheRecordAndItsScreenOnce) {
  const GameRecord record;
  Places places{record, {}};
  GameRecordFields(places, record);
  // The record's fields but its screen, and the screen's.
  EXPECT_EQ(places.fields.size(), FieldCount<GameRecord>() - 1 + FieldCount<TextScreen>());
  EXPECT_EQ(FieldCount<TextScreen>(), 7u);  // the counting itself counts
}

}  // namespace
}  // namespace rallix
