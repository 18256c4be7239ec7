// The documents an update reads, read a batch ahead on the machine's cores:
// reading and decoding is most of the work of indexing.
#pragma once

#include <cstddef>
#include <vector>

#include "corpus/document_folder.h"

namespace oc::corpus {

class ReadingAhead {
  public:
    // `wanted`: indexes into `files`, increasing. Both must outlive it.
    ReadingAhead(const std::vector<FolderEntry>& files, const std::vector<std::size_t>& wanted);

    // The document of wanted file `file`; wanted files are taken in order.
    DocumentRead take(std::size_t file);

  private:
    void readBatch();

    const std::vector<FolderEntry>& files_;
    const std::vector<std::size_t>& wanted_;
    std::size_t next_ = 0;        // into wanted_: the first not yet read
    std::size_t batchStart_ = 0;  // into wanted_: the first of `batch_`
    std::vector<DocumentRead> batch_;
    unsigned threads_ = 1;
};

}  // namespace oc::corpus
