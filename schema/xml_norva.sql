-- Electronic-invoice database (xml_norva): the ten tables the application works on, and
-- notifiche_sdi, the exchange system's answers that the sending service stores.
-- Load it into the database of your choice, e.g.
--   mariadb -uroot -p xml_norva < schema/xml_norva.sql
-- Reloading drops and recreates every table (all rows are lost).

-- Conventions:
--  * amounts, quantities, prices and rates are text with the Italian decimal comma (1234,50);
--    dates are dd/mm/yyyy text; due dates dd/mm/yy text;
--  * every column but the auto-increment keys may hold NULL, which the application tells
--    apart from empty text, so a new row holds NULL wherever nothing was written;
--  * texts compared exactly (document numbers and types, file names, linked-document group
--    kinds) use a binary no-pad collation: case and trailing blanks count;
--  * line and linked-document tables have no key of their own: they are reached through
--    their master row and kept in insertion order (their indexes start with the master key).

SET NAMES utf8mb4;

DROP TABLE IF EXISTS `azienda`;
CREATE TABLE `azienda` (
  `codice` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `rag_soc` VARCHAR(60) DEFAULT NULL,
  `p_iva` VARCHAR(11) DEFAULT NULL,
  `cod_fis` VARCHAR(16) DEFAULT NULL,
  `reg_fisc` VARCHAR(4) DEFAULT NULL,
  `indirizzo` VARCHAR(60) DEFAULT NULL,
  `cap` VARCHAR(5) DEFAULT NULL,
  `comune` VARCHAR(50) DEFAULT NULL,
  `prov` VARCHAR(4) DEFAULT NULL,
  `nazione` VARCHAR(10) DEFAULT NULL,
  `uff_rea` VARCHAR(4) DEFAULT NULL,
  `num_rea` VARCHAR(8) DEFAULT NULL,
  `capit_soc` VARCHAR(10) DEFAULT NULL,
  `soc_uni` VARCHAR(2) DEFAULT NULL,
  `stato_liq` VARCHAR(2) DEFAULT NULL,
  `mail` VARCHAR(60) DEFAULT NULL,
  `telefono` VARCHAR(12) DEFAULT NULL,
  `path` VARCHAR(40) DEFAULT NULL,
  `iban` VARCHAR(27) DEFAULT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `testata`;
CREATE TABLE `testata` (
  `id_invio` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `rag_soc` VARCHAR(60) DEFAULT NULL,
  `indirizzo` VARCHAR(60) DEFAULT NULL,
  `comune` VARCHAR(50) DEFAULT NULL,
  `cap` VARCHAR(5) DEFAULT NULL,
  `prov` VARCHAR(4) DEFAULT NULL,
  `nazione` VARCHAR(10) DEFAULT NULL,
  `p_iva` VARCHAR(11) DEFAULT NULL,
  `cod_fis` VARCHAR(16) DEFAULT NULL,
  `cod_dest` VARCHAR(7) DEFAULT NULL,
  `pec` VARCHAR(60) DEFAULT NULL,
  `data_doc` VARCHAR(10) DEFAULT NULL,
  `num_doc` VARCHAR(10) COLLATE utf8mb4_nopad_bin DEFAULT NULL,
  `tot_doc` VARCHAR(12) DEFAULT NULL,
  `tipo_doc` VARCHAR(4) COLLATE utf8mb4_nopad_bin DEFAULT NULL,
  `tipo_pag` VARCHAR(4) DEFAULT NULL,
  `mod_pag` VARCHAR(4) DEFAULT NULL,
  `n_rate` INT DEFAULT NULL,
  `scad1` VARCHAR(10) DEFAULT NULL,
  `scad2` VARCHAR(10) DEFAULT NULL,
  `scad3` VARCHAR(10) DEFAULT NULL,
  `scad4` VARCHAR(10) DEFAULT NULL,
  `spese` VARCHAR(12) DEFAULT NULL,
  `arrot` VARCHAR(12) DEFAULT NULL,
  `imponibile` VARCHAR(12) DEFAULT NULL,
  `imposta` VARCHAR(12) DEFAULT NULL,
  `aliquota` VARCHAR(6) DEFAULT NULL,
  `imponibile2` VARCHAR(12) DEFAULT NULL,
  `imposta2` VARCHAR(12) DEFAULT NULL,
  `aliquota2` VARCHAR(6) DEFAULT NULL,
  `esig_iva` VARCHAR(1) DEFAULT NULL,
  `esig_iva2` VARCHAR(1) DEFAULT NULL,
  `nome_file` VARCHAR(25) COLLATE utf8mb4_nopad_bin DEFAULT NULL,
  `sc_tipo` VARCHAR(2) DEFAULT NULL,
  `sc_perc` VARCHAR(4) DEFAULT NULL,
  `sc_importo` VARCHAR(12) DEFAULT NULL,
  `spese2` VARCHAR(12) DEFAULT NULL,
  `arrot2` VARCHAR(12) DEFAULT NULL,
  `natura` VARCHAR(4) DEFAULT NULL,
  `natura2` VARCHAR(4) DEFAULT NULL,
  `normativa` VARCHAR(100) DEFAULT NULL,
  `normativa2` VARCHAR(100) DEFAULT NULL,
  `tot_omaggio` VARCHAR(12) DEFAULT NULL,
  `tot_omaggio2` VARCHAR(12) DEFAULT NULL,
  `trasporto` VARCHAR(25) DEFAULT NULL,
  `inviata` TINYINT(1) DEFAULT NULL,
  `dest_soc` VARCHAR(60) DEFAULT NULL,
  `dest_comune` VARCHAR(50) DEFAULT NULL,
  `dest_indir` VARCHAR(60) DEFAULT NULL,
  `dest_cap` VARCHAR(5) DEFAULT NULL,
  `porto` VARCHAR(15) DEFAULT NULL,
  `aspetto` VARCHAR(30) DEFAULT NULL,
  `colli` VARCHAR(10) DEFAULT NULL,
  `causale` VARCHAR(15) DEFAULT NULL,
  `imponibile3` VARCHAR(12) DEFAULT NULL,
  `imposta3` VARCHAR(12) DEFAULT NULL,
  `aliquota3` VARCHAR(6) DEFAULT NULL,
  `esig_iva3` VARCHAR(1) DEFAULT NULL,
  `spese3` VARCHAR(12) DEFAULT NULL,
  `arrot3` VARCHAR(12) DEFAULT NULL,
  `natura3` VARCHAR(4) DEFAULT NULL,
  `normativa3` VARCHAR(100) DEFAULT NULL,
  `tot_omaggio3` VARCHAR(12) DEFAULT NULL,
  `reg_doc` VARCHAR(3) DEFAULT NULL,
  `imponibile4` VARCHAR(12) DEFAULT NULL,
  `imposta4` VARCHAR(12) DEFAULT NULL,
  `aliquota4` VARCHAR(6) DEFAULT NULL,
  `esig_iva4` VARCHAR(1) DEFAULT NULL,
  `natura4` VARCHAR(4) DEFAULT NULL,
  KEY `testata_num_doc_tipo_doc` (`num_doc`, `tipo_doc`),
  KEY `testata_nome_file` (`nome_file`),
  KEY `testata_inviata` (`inviata`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `dettaglio`;
CREATE TABLE `dettaglio` (
  `id_invio` INT DEFAULT NULL,
  `prog` INT DEFAULT NULL,
  `codice_tipo` VARCHAR(35) DEFAULT NULL,
  `codice_val` VARCHAR(35) DEFAULT NULL,
  `descrizione` VARCHAR(100) DEFAULT NULL,
  `quantita` VARCHAR(12) DEFAULT NULL,
  `um` VARCHAR(10) DEFAULT NULL,
  `prezzo_unit` VARCHAR(12) DEFAULT NULL,
  `sc_tipo` VARCHAR(2) DEFAULT NULL,
  `sc_perc` VARCHAR(6) DEFAULT NULL,
  `sc_importo` VARCHAR(12) DEFAULT NULL,
  `prezzo_tot` VARCHAR(12) DEFAULT NULL,
  `aliquota` VARCHAR(6) DEFAULT NULL,
  `tipo_cessione` VARCHAR(2) DEFAULT NULL,
  `ritenuta` VARCHAR(2) DEFAULT NULL,
  `natura` VARCHAR(4) DEFAULT NULL,
  `rif_amm` VARCHAR(20) DEFAULT NULL,
  `categoria` VARCHAR(3) DEFAULT NULL,
  `lotto` VARCHAR(20) DEFAULT NULL,
  `origine` VARCHAR(20) DEFAULT NULL,
  KEY `dettaglio_id_invio` (`id_invio`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `clienti`;
CREATE TABLE `clienti` (
  `id` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `rag_soc` VARCHAR(60) DEFAULT NULL,
  `indirizzo` VARCHAR(60) DEFAULT NULL,
  `comune` VARCHAR(50) DEFAULT NULL,
  `cap` VARCHAR(5) DEFAULT NULL,
  `prov` VARCHAR(4) DEFAULT NULL,
  `nazione` VARCHAR(10) DEFAULT NULL,
  `p_iva` VARCHAR(11) DEFAULT NULL,
  `cod_fis` VARCHAR(16) DEFAULT NULL,
  `cod_dest` VARCHAR(7) DEFAULT NULL,
  `pec` VARCHAR(60) DEFAULT NULL,
  `dest_soc` VARCHAR(60) DEFAULT NULL,
  `dest_comune` VARCHAR(50) DEFAULT NULL,
  `dest_indir` VARCHAR(60) DEFAULT NULL,
  `dest_cap` VARCHAR(5) DEFAULT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `fornitori`;
CREATE TABLE `fornitori` (
  `id` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `rag_soc` VARCHAR(60) DEFAULT NULL,
  `indirizzo` VARCHAR(60) DEFAULT NULL,
  `comune` VARCHAR(50) DEFAULT NULL,
  `cap` VARCHAR(5) DEFAULT NULL,
  `prov` VARCHAR(4) DEFAULT NULL,
  `nazione` VARCHAR(20) DEFAULT NULL,
  `p_iva` VARCHAR(11) DEFAULT NULL,
  `cod_fis` VARCHAR(16) DEFAULT NULL,
  `cod_destinatario` VARCHAR(7) DEFAULT NULL,
  `pec` VARCHAR(60) DEFAULT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `test_car`;
CREATE TABLE `test_car` (
  `prot` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `rag_soc` VARCHAR(60) DEFAULT NULL,
  `indirizzo` VARCHAR(60) DEFAULT NULL,
  `comune` VARCHAR(50) DEFAULT NULL,
  `cap` VARCHAR(5) DEFAULT NULL,
  `prov` VARCHAR(4) DEFAULT NULL,
  `nazione` VARCHAR(20) DEFAULT NULL,
  `p_iva` VARCHAR(11) DEFAULT NULL,
  `cod_fis` VARCHAR(16) DEFAULT NULL,
  `cod_destinatario` VARCHAR(7) DEFAULT NULL,
  `pec` VARCHAR(60) DEFAULT NULL,
  `data_doc` VARCHAR(10) DEFAULT NULL,
  `num_doc` VARCHAR(10) DEFAULT NULL,
  `tot_doc` VARCHAR(12) DEFAULT NULL,
  `tipo_doc` VARCHAR(4) DEFAULT NULL,
  `tipo_pag` VARCHAR(4) DEFAULT NULL,
  `mod_pag` VARCHAR(4) DEFAULT NULL,
  `n_rate` INT DEFAULT NULL,
  `scad1` VARCHAR(10) DEFAULT NULL,
  `scad2` VARCHAR(10) DEFAULT NULL,
  `scad3` VARCHAR(10) DEFAULT NULL,
  `scad4` VARCHAR(10) DEFAULT NULL,
  `spese` VARCHAR(12) DEFAULT NULL,
  `arrot` VARCHAR(12) DEFAULT NULL,
  `imponibile` VARCHAR(12) DEFAULT NULL,
  `imposta` VARCHAR(12) DEFAULT NULL,
  `aliquota` VARCHAR(6) DEFAULT NULL,
  `imponibile2` VARCHAR(12) DEFAULT NULL,
  `imposta2` VARCHAR(12) DEFAULT NULL,
  `aliquota2` VARCHAR(6) DEFAULT NULL,
  `esig_iva` VARCHAR(1) DEFAULT NULL,
  `esig_iva2` VARCHAR(1) DEFAULT NULL,
  `nome_file` VARCHAR(40) COLLATE utf8mb4_nopad_bin DEFAULT NULL,
  `sc_tipo` VARCHAR(2) DEFAULT NULL,
  `sc_perc` VARCHAR(4) DEFAULT NULL,
  `sc_importo` VARCHAR(12) DEFAULT NULL,
  `natura` VARCHAR(2) DEFAULT NULL,
  `natura2` VARCHAR(2) DEFAULT NULL,
  `spese2` VARCHAR(12) DEFAULT NULL,
  `arrot2` VARCHAR(12) DEFAULT NULL,
  `normativa` VARCHAR(100) DEFAULT NULL,
  `normativa2` VARCHAR(100) DEFAULT NULL,
  `imp_scad1` VARCHAR(12) DEFAULT NULL,
  `imp_scad2` VARCHAR(12) DEFAULT NULL,
  `imp_scad3` VARCHAR(12) DEFAULT NULL,
  `imp_scad4` VARCHAR(12) DEFAULT NULL,
  KEY `test_car_nome_file` (`nome_file`),
  KEY `test_car_numero` (`num_doc`, `data_doc`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `dett_car`;
CREATE TABLE `dett_car` (
  `prot_car` INT DEFAULT NULL,
  `prog` INT DEFAULT NULL,
  `codice_tipo` VARCHAR(35) DEFAULT NULL,
  `codice_val` VARCHAR(35) DEFAULT NULL,
  `descrizione` VARCHAR(100) DEFAULT NULL,
  `quantita` VARCHAR(12) DEFAULT NULL,
  `um` VARCHAR(10) DEFAULT NULL,
  `prezzo_unit` VARCHAR(12) DEFAULT NULL,
  `sc_tipo` VARCHAR(2) DEFAULT NULL,
  `sc_perc` VARCHAR(4) DEFAULT NULL,
  `sc_importo` VARCHAR(12) DEFAULT NULL,
  `prezzo_tot` VARCHAR(12) DEFAULT NULL,
  `aliquota` VARCHAR(6) DEFAULT NULL,
  `tipo_cessione` VARCHAR(2) DEFAULT NULL,
  `ritenuta` VARCHAR(2) DEFAULT NULL,
  `natura` VARCHAR(2) DEFAULT NULL,
  `rif_amm` VARCHAR(20) DEFAULT NULL,
  KEY `dett_car_prot_car` (`prot_car`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `magazzino`;
CREATE TABLE `magazzino` (
  `id` INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `descrizione` VARCHAR(100) DEFAULT NULL,
  `codice_tipo` VARCHAR(35) DEFAULT NULL,
  `codice_val` VARCHAR(35) DEFAULT NULL,
  `esistenza` VARCHAR(12) DEFAULT NULL,
  `um` VARCHAR(10) DEFAULT NULL,
  `prezzo_unit` VARCHAR(12) DEFAULT NULL,
  `sc_tipo` VARCHAR(2) DEFAULT NULL,
  `sc_perc` VARCHAR(4) DEFAULT NULL,
  `sc_importo` VARCHAR(12) DEFAULT NULL,
  `prezzo_tot` VARCHAR(12) DEFAULT NULL,
  `costo_unit` VARCHAR(12) DEFAULT NULL,
  `sc_costo_tipo` VARCHAR(2) DEFAULT NULL,
  `sc_costo_perc` VARCHAR(4) DEFAULT NULL,
  `sc_costo_importo` VARCHAR(12) DEFAULT NULL,
  `costo_tot` VARCHAR(12) DEFAULT NULL,
  `aliquota` VARCHAR(6) DEFAULT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `test_dati`;
CREATE TABLE `test_dati` (
  `id_invio` INT DEFAULT NULL,
  `tipo` VARCHAR(20) COLLATE utf8mb4_nopad_bin DEFAULT NULL,
  KEY `test_dati_id_invio` (`id_invio`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

DROP TABLE IF EXISTS `dati_acquisto`;
CREATE TABLE `dati_acquisto` (
  `id_invio` INT DEFAULT NULL,
  `tipo` VARCHAR(20) COLLATE utf8mb4_nopad_bin DEFAULT NULL,
  `n_linea` INT DEFAULT NULL,
  `id_documento` VARCHAR(20) DEFAULT NULL,
  `data` VARCHAR(10) DEFAULT NULL,
  `numero` VARCHAR(20) DEFAULT NULL,
  `cod_comm` VARCHAR(100) DEFAULT NULL,
  `cup` VARCHAR(15) DEFAULT NULL,
  `cig` VARCHAR(15) DEFAULT NULL,
  KEY `dati_acquisto_id_invio_tipo` (`id_invio`, `tipo`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;


-- The exchange system's answers to the sent invoices, one row per message, written by the
-- sending service as it reads them (its notifications folder, or the PEC mailbox). The same
-- definition, for a database made before this table, is schema/notifiche_sdi.sql.
DROP TABLE IF EXISTS `notifiche_sdi`;
CREATE TABLE `notifiche_sdi` (
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
