-- Adds the table of the exchange system's answers (notifiche_sdi) to an electronic-invoice
-- database made before it; a database that has it already is left as it is. ./run loads it
-- into an existing database at every start; on another server load it once, e.g.
--   mariadb -uroot -p xml_norva < schema/notifiche_sdi.sql
-- The definition is the one of xml_norva.sql.
--   nome_file       the invoice file the message names (the signed file may end in .p7m)
--   tipo            RC delivered, NS rejected, MC not delivered, NE buyer's outcome,
--                   DT terms lapsed, AT transmission certified
--   id_sdi          the exchange system's identifier of the invoice file
--   message_id      the message's own identifier (with id_sdi and tipo: a message is stored once)
--   data_ora        the time the message gives (delivery, receipt), or when it was read
--   esito           EC01 accepted / EC02 refused (NE)
--   errori          NS: one error a line, the five-character code, a blank, the description
--   descrizione     the message's description and notes
--   file_messaggio  the name of the message's file

CREATE TABLE IF NOT EXISTS `notifiche_sdi` (
  `id` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `id_invio` INT NOT NULL,
  `nome_file` VARCHAR(50) COLLATE utf8mb4_nopad_bin NOT NULL,
  `tipo` VARCHAR(2) COLLATE utf8mb4_nopad_bin NOT NULL,
  `id_sdi` VARCHAR(12) COLLATE utf8mb4_nopad_bin NOT NULL,
  `message_id` VARCHAR(14) COLLATE utf8mb4_nopad_bin NOT NULL,
  `data_ora` VARCHAR(35) DEFAULT NULL,
  `esito` VARCHAR(4) DEFAULT NULL,
  `errori` TEXT DEFAULT NULL,
  `descrizione` TEXT DEFAULT NULL,
  `file_messaggio` VARCHAR(100) NOT NULL,
  `registrata` DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  UNIQUE KEY `notifiche_sdi_messaggio` (`id_sdi`, `tipo`, `message_id`),
  KEY `notifiche_sdi_id_invio` (`id_invio`, `id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
