// Thin layer over the operating system: line reading, directories, lock
// files, URL opening, threads, time, the automap angle and pooled allocation.
#ifndef OMBRITH_UTIL_PLATFORM_H
#define OMBRITH_UTIL_PLATFORM_H

#include <cstdint>
#include <cstdio>

#include "util/buffer.h"

int fget_line(FILE *file, char *area, int size);
int vesk_recursive_mkdir(const char *path, int mode, Buffer *err);
int vesk_create_and_check_writeable_directory(const char *dir, int mode, Buffer *err);
int vesk_try_get_file_lock(const char *path);
int vesk_release_file_lock(int fd);
int vesk_filename_is_regular_file(const char *path);
int vesk_http_fork(const char *url);
int vesk_thread_create(const char *name, int (*function)(void *), void *argument);
void vesk_sleep_ms(int ms);
int64_t vesk_gettimeofday_useconds();
int vesk_calc_angle(int dx, int dy);
void *vesk_bulk_allocate(int object_size, const char *type_name, int block_bytes);

// Untyped free-list pool; blocks come from vesk_bulk_allocate and are never freed.
class vesk_memory_pool_base {
public:
  vesk_memory_pool_base(const char *type_name, int object_size, int block_bytes)
      : free_list(nullptr), type_name(type_name), block_bytes(block_bytes), object_size(object_size)
  {
  }
  void bulk_allocate();
  void *take()
  {
    if (!free_list)
      bulk_allocate();
    void *object = free_list;
    free_list = *static_cast<void **>(object);
    return object;
  }
  void give_back(void *object)
  {
    *static_cast<void **>(object) = free_list;
    free_list = object;
  }

  void *free_list;
  const char *type_name;
  int block_bytes;
  int object_size;
};

// Typed pool: hands out raw storage for T; the caller constructs in place.
template <class T> class vesk_memory_pool : public vesk_memory_pool_base {
public:
  vesk_memory_pool(const char *type_name, int block_bytes)
      : vesk_memory_pool_base(type_name, (int)sizeof(T), block_bytes)
  {
  }
  T *take_raw() { return static_cast<T *>(take()); }
  void give_back(T *object) { vesk_memory_pool_base::give_back(object); }
};

#endif
