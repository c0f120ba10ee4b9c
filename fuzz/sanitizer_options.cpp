// SPDX-License-Identifier: MIT
// Qt is built without frame pointers, so the fast unwinder records partly
// random call stacks for allocations made inside it; each new one is kept,
// and a long run grows by hundreds of megabytes. Two frames of allocation
// context keep memory flat. The stack of a fault itself is unaffected; to see
// deeper allocation stacks when reproducing one, run the target with
// ASAN_OPTIONS=malloc_context_size=30.
extern "C" const char *__asan_default_options()
{
    return "malloc_context_size=2";
}
