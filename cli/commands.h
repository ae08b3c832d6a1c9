#pragma once

#include <optional>
#include <string>
#include <vector>

namespace paginor::cli {

// Command-line arguments: options ("--name VALUE", "--flag", "--name=VALUE") and positionals.
class Args {
 public:
  explicit Args(std::vector<std::string> raw) : raw_(std::move(raw)) {}
  // Takes a flag; true when it was given.
  bool flag(const std::string& name);
  // Takes an option's value.
  std::optional<std::string> option(const std::string& name);
  // What is left once all flags and options were taken; an unknown option is an error.
  bool rest(std::vector<std::string>& positionals, std::string& error) const;

 private:
  std::vector<std::string> raw_;
};

int cmdMeasure(Args& args);

}  // namespace paginor::cli
