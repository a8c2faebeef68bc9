#pragma once
// Objects that cost much to make (a deflate state, a converter), kept for reuse by
// whichever thread needs one next. A pool rather than one object per thread: the
// destructors of thread-local objects run on freed memory with mingw-w64's emulated
// thread-local storage.
#include <memory>
#include <mutex>
#include <vector>

namespace vb {

template <class T>
class ReusePool {
 public:
  // An object of the pool, handed back to it when the lease ends.
  class Lease {
   public:
    Lease(ReusePool& pool, std::unique_ptr<T> object) : pool_(pool), object_(std::move(object)) {}
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    ~Lease() { pool_.giveBack(std::move(object_)); }
    T& operator*() const { return *object_; }
    T* operator->() const { return object_.get(); }

   private:
    ReusePool& pool_;
    std::unique_ptr<T> object_;
  };

  // A free object of the pool, or a new one made by make() when none is free.
  template <class Make>
  Lease take(Make make) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        std::unique_ptr<T> object = std::move(free_.back());
        free_.pop_back();
        return Lease(*this, std::move(object));
      }
    }
    return Lease(*this, make());
  }

 private:
  void giveBack(std::unique_ptr<T> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(std::move(object));
  }
  std::mutex mutex_;
  std::vector<std::unique_ptr<T>> free_;
};

}  // namespace vb
