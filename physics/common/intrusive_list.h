// Doubly linked lists threaded through nodes with prev and next pointers.
#pragma once

template <typename Node> void phListPushFront(Node** head, Node* node)
{
    node->prev = nullptr;
    node->next = *head;
    if (*head != nullptr) {
        (*head)->prev = node;
    }
    *head = node;
}

template <typename Node> void phListUnlink(Node** head, Node* node)
{
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    }
    if (node->next != nullptr) {
        node->next->prev = node->prev;
    }
    if (node == *head) {
        *head = node->next;
    }
}
