#include "common/failure.hpp"

#include <exception>
#include <new>

namespace quarnel {

Failure CurrentFailure() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return {errors::kOutOfMemory, "内存溢出"};
  } catch (const std::exception& e) {
    return {errors::kInternal, std::string("内部错误: ") + e.what()};
  } catch (...) {
    return {errors::kInternal, "内部错误"};
  }
}

}  // namespace quarnel
